// Rendering: transforms, meshes and the render manager, textures and sprites, particles, trails.
