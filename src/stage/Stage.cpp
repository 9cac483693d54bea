// Stage: the main scene with its managers and registries, environment, ground, effect pool.
