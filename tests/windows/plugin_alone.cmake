# Makes FOLDER hold a copy of PLUGIN and nothing else: the plug-in as a user installs it
# without the movie engine. Run with cmake -DPLUGIN=... -DFOLDER=... -P plugin_alone.cmake.
if(NOT PLUGIN OR NOT FOLDER)
  message(FATAL_ERROR "plugin_alone.cmake needs -DPLUGIN=<NPLant32.dll> and -DFOLDER=<folder>")
endif()
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
file(COPY "${PLUGIN}" DESTINATION "${FOLDER}")
