# zevo_add_version_resource(<target> <a.b.c.d> <description> <file name>)
# Gives a Windows DLL or program its version resource (VS_VERSION_INFO with the fixed
# block and the usual strings); nothing on other platforms.
function(zevo_add_version_resource target version description file)
  if(NOT WIN32)
    return()
  endif()
  string(REPLACE "." "," commas "${version}")
  set(ZEVO_RC_COMMAS "${commas}")
  set(ZEVO_RC_VERSION "${version}")
  set(ZEVO_RC_DESCRIPTION "${description}")
  set(ZEVO_RC_FILE "${file}")
  set(ZEVO_RC_FILETYPE 0x2)  # VFT_DLL
  if(file MATCHES "\\.exe$")
    set(ZEVO_RC_FILETYPE 0x1)  # VFT_APP
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
