// Weapons: weapon mounts and the three weapon kinds.
