// Units: the object chain, solids and collision, targets, containers, movers, engines, player
// aircraft, camera.
