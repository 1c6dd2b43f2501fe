coroutine.yield()
