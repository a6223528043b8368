# Version information for a Windows program: one template, the project's
# version, a description per program.
#   freqcode_version_resource(TARGET "What the program is")
function(freqcode_version_resource target description)
  set(FREQCODE_RC_NAME ${target})
  set(FREQCODE_RC_FILE ${target}.exe)
  set(FREQCODE_RC_DESCRIPTION "${description}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/versioninfo.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
endfunction()
