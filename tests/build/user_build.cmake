# Configures the program as a user would, with the default warning settings
# (the desktop program and the tests are left out only to keep it quick), and
# fails when any of its compile commands would turn warnings into errors.
file(REMOVE_RECURSE ${BINARY_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR} -G Ninja
          -DPARLOUR_QT=OFF -DPARLOUR_TESTS=OFF
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring a user's build failed")
endif()
file(READ ${BINARY_DIR}/compile_commands.json commands)
file(REMOVE_RECURSE ${BINARY_DIR})
if(commands STREQUAL "" OR NOT commands MATCHES "-Wall")
  message(FATAL_ERROR "no compile commands with the project's warnings found")
endif()
if(commands MATCHES "-Werror")
  message(FATAL_ERROR "a user's build treats warnings as errors")
endif()
