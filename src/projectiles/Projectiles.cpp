// Projectiles: bullets and rockets.
