# Build configuration of the setup program.

# Scheme and host of the product's action-log service; the path and query are
# fixed in the engine.
set(ACTION_LOG_BASE "http://mail.korvo.com" CACHE STRING
  "Scheme and host of the action-log endpoint handed to the helper library")
