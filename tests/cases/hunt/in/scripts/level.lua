spawn_timer = 3
set(spawnDelay, 5)  -- from a script
