// The graphics utility library; its parts arrive with meshes and textures.
