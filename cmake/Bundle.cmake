# The module: "ks CALVIR Room.vst3/Contents/x86_64-linux/ks CALVIR Room.so",
# exporting only GetPluginFactory, ModuleEntry and ModuleExit.
set(CALVIR_PLUGIN_NAME "ks CALVIR Room")
set(CALVIR_BUNDLE_DIR "${PROJECT_BINARY_DIR}/VST3/${CALVIR_PLUGIN_NAME}.vst3")
set(CALVIR_BUNDLE_BINARY "${CALVIR_BUNDLE_DIR}/Contents/x86_64-linux/${CALVIR_PLUGIN_NAME}.so")

add_library(calvir_plugin MODULE
  "${PROJECT_SOURCE_DIR}/processor/plugfactory.cpp"
  "${PROJECT_SOURCE_DIR}/sdk/moduleentry.cpp"
)
target_link_libraries(calvir_plugin PRIVATE calvir_controller calvir_processor calvir_gui calvir_sdk vst3sdk)
target_compile_options(calvir_plugin PRIVATE ${CALVIR_WARNINGS})
target_link_options(calvir_plugin PRIVATE
  "-Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/exports.map" -Wl,--no-undefined)
set_target_properties(calvir_plugin PROPERTIES
  PREFIX ""
  OUTPUT_NAME "${CALVIR_PLUGIN_NAME}"
  SUFFIX ".so"
  LIBRARY_OUTPUT_DIRECTORY "${CALVIR_BUNDLE_DIR}/Contents/x86_64-linux"
  LINK_DEPENDS "${PROJECT_SOURCE_DIR}/cmake/exports.map")

# Bundle resources: the UI description and its bitmaps.
file(GLOB CALVIR_RESOURCES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/resource/*")
add_custom_command(TARGET calvir_plugin POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CALVIR_BUNDLE_DIR}/Contents/Resources"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CALVIR_RESOURCES} "${CALVIR_BUNDLE_DIR}/Contents/Resources/"
  VERBATIM)

# A user install (prefix under the home folder) goes to ~/.vst3, any other
# prefix to <prefix>/lib/vst3: the folders Linux hosts search.
install(CODE "
  set(_home \"\$ENV{HOME}\")
  set(_inHome -1)
  if(_home)
    string(FIND \"\${CMAKE_INSTALL_PREFIX}/\" \"\${_home}/\" _inHome)
  endif()
  if(_inHome EQUAL 0)
    set(_dest \"\${_home}/.vst3\")
  else()
    set(_dest \"\${CMAKE_INSTALL_PREFIX}/lib/vst3\")
  endif()
  message(STATUS \"Installing bundle to \${_dest}\")
  file(COPY \"${CALVIR_BUNDLE_DIR}\" DESTINATION \"\${_dest}\" USE_SOURCE_PERMISSIONS)
")
