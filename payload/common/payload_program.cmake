# Shared build of the product's two Windows programs (Tarvelon.exe and Uninstall.exe): version
# information from setup/product.h, the product's icon, static GUI linking, and the output in
# the folder that the setup's resource script takes the payload files from.
# Included by each program's folder; variables are per folder, the icon target is made once.
get_filename_component(TVL_REPO_ROOT ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)

if(NOT TARVELON_PAYLOAD_DIR)
  set(TARVELON_PAYLOAD_DIR ${PROJECT_BINARY_DIR}/payload-files)
endif()

file(READ ${TVL_REPO_ROOT}/setup/product.h TVL_PRODUCT_H)
foreach(pair "kVersionText;TVL_PAYLOAD_VERSION_TEXT" "kLongNameEn;TVL_PAYLOAD_LONG_NAME"
             "kPublisherNameEn;TVL_PAYLOAD_COMPANY")
  list(GET pair 0 constant)
  list(GET pair 1 variable)
  if(NOT TVL_PRODUCT_H MATCHES "${constant} = \"([^\"]*)\"")
    message(FATAL_ERROR "setup/product.h has no ${constant}")
  endif()
  set(${variable} "${CMAKE_MATCH_1}")
endforeach()
# "1.0.1" -> "1.0.1.0" and 1,0,1,0
string(REPLACE "." ";" tvl_parts "${TVL_PAYLOAD_VERSION_TEXT}")
list(LENGTH tvl_parts tvl_count)
while(tvl_count LESS 4)
  list(APPEND tvl_parts 0)
  list(LENGTH tvl_parts tvl_count)
endwhile()
list(JOIN tvl_parts "." TVL_PAYLOAD_FILE_VERSION)
list(JOIN tvl_parts "," TVL_PAYLOAD_VERSION_NUMBERS)

# The product's icon: the setup's own when payload/ has one, else a small one drawn here
# (an amber rounded square with a dark bench-like bar over two legs).
if(EXISTS ${TVL_REPO_ROOT}/payload/tarvelon.ico)
  set(TVL_PAYLOAD_ICON ${TVL_REPO_ROOT}/payload/tarvelon.ico)
else()
  set(TVL_PAYLOAD_ICON ${CMAKE_BINARY_DIR}/payload-icon/workbench.ico)
  if(NOT TARGET tarvelon_payload_icon)
    find_program(TVL_CONVERT convert REQUIRED)
    add_custom_command(OUTPUT ${TVL_PAYLOAD_ICON}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/payload-icon
      COMMAND ${TVL_CONVERT} -size 48x48 xc:none
              -fill "#e0a020" -draw "roundrectangle 2,2 45,45 9,9"
              -fill "#3a2a10" -draw "rectangle 8,14 39,21"
              -draw "rectangle 12,21 16,38" -draw "rectangle 31,21 35,38"
              -define icon:auto-resize=48,32,16 ${TVL_PAYLOAD_ICON}
      VERBATIM)
    add_custom_target(tarvelon_payload_icon DEPENDS ${TVL_PAYLOAD_ICON})
  endif()
endif()

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
  target_link_options(${target} PRIVATE -mwindows -static -s -Wl,--gc-sections)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output_name}
    RUNTIME_OUTPUT_DIRECTORY ${TARVELON_PAYLOAD_DIR})
  set_source_files_properties(${TVL_REPO_ROOT}/payload/common/payload_program.rc PROPERTIES
    OBJECT_DEPENDS "${TVL_PAYLOAD_ICON};${ARG_MANIFEST};${TVL_REPO_ROOT}/setup/product.h")
  if(TARGET tarvelon_payload_icon)
    add_dependencies(${target} tarvelon_payload_icon)
  endif()
endfunction()
