# Shared build of the product's two Windows programs (Tarvelon.exe and Uninstall.exe): version
# information from setup/product.h, the product's icon, static GUI linking, and the output in
# the folder that the setup's resource script takes the payload files from.
# Included by each program's folder; variables are per folder, the icon target is made once.
get_filename_component(TVL_REPO_ROOT ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)

if(NOT TARVELON_PAYLOAD_DIR)
  set(TARVELON_PAYLOAD_DIR ${PROJECT_BINARY_DIR}/payload-files)
endif()

include(${TVL_REPO_ROOT}/cmake/product_definition.cmake)
include(${TVL_REPO_ROOT}/cmake/release_program.cmake)

set(TVL_PAYLOAD_ICON ${TVL_REPO_ROOT}/payload/tarvelon.ico)

# tarvelon_payload_program(TARGET OUTPUT_NAME DESCRIPTION [MANIFEST file] SOURCES ...)
function(tarvelon_payload_program target output_name description)
  cmake_parse_arguments(ARG "" "MANIFEST" "SOURCES" ${ARGN})
  set(TVL_PAYLOAD_DESCRIPTION "${description}")
  set(TVL_PAYLOAD_FILENAME "${output_name}.exe")
  set(TVL_PAYLOAD_MANIFEST "${ARG_MANIFEST}")
  if(ARG_MANIFEST)
    set(TVL_PAYLOAD_MANIFEST_DEFINE "#define TVL_PAYLOAD_WITH_MANIFEST 1")
  else()
    set(TVL_PAYLOAD_MANIFEST_DEFINE "")
  endif()
  set(info_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-info)
  configure_file(${TVL_REPO_ROOT}/payload/common/payload_info.h.in ${info_dir}/payload_info.h @ONLY)

  add_executable(${target} WIN32 ${ARG_SOURCES} ${TVL_REPO_ROOT}/payload/common/payload_program.rc)
  target_include_directories(${target} PRIVATE ${info_dir} ${TVL_REPO_ROOT})
  target_compile_options(${target} PRIVATE -fexec-charset=CP1251 -Wall -Wextra -ffunction-sections -fdata-sections)
  target_link_options(${target} PRIVATE -mwindows -static -Wl,--gc-sections)
  tarvelon_release_program(${target})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output_name}
    RUNTIME_OUTPUT_DIRECTORY ${TARVELON_PAYLOAD_DIR})
  set_source_files_properties(${TVL_REPO_ROOT}/payload/common/payload_program.rc PROPERTIES
    OBJECT_DEPENDS "${TVL_PAYLOAD_ICON};${ARG_MANIFEST};${TVL_REPO_ROOT}/setup/product.h")
endfunction()
