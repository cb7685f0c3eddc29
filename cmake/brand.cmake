# The brand of a launcher program: the names its version block carries and
# its icon, written as the header brand.h that shell/installer.rc includes.
#
#   launcher_brand_header(OUTPUT file PRODUCT name COMPANY name
#                         DESCRIPTION text COPYRIGHT text ICON file.ico)
#
# A name left empty is left out of the version block (the description then
# is the launcher's own, the icon shell/installer.ico). The header is
# rewritten only when it changes.
# A text of the resource script: in double quotes, a quote doubled.
function(rc_text out text)
  if(text MATCHES "[\n\r\\\\]")
    message(FATAL_ERROR "brand: \"${text}\" holds a line end or a backslash")
  endif()
  string(REPLACE "\"" "\"\"" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

function(launcher_brand_header)
  cmake_parse_arguments(BRAND "" "OUTPUT;PRODUCT;COMPANY;DESCRIPTION;COPYRIGHT;ICON" "" ${ARGN})
  set(values "")
  foreach(pair IN ITEMS CompanyName=COMPANY ProductName=PRODUCT LegalCopyright=COPYRIGHT)
    string(REGEX REPLACE "=.*" "" name ${pair})
    string(REGEX REPLACE ".*=" "" field ${pair})
    if(NOT "${BRAND_${field}}" STREQUAL "")
      rc_text(text "${BRAND_${field}}")
      string(APPEND values " VALUE \"${name}\", ${text}")
    endif()
  endforeach()
  if("${BRAND_DESCRIPTION}" STREQUAL "")
    set(description LAUNCHER_DESCRIPTION)
  else()
    rc_text(description "${BRAND_DESCRIPTION}")
  endif()
  if("${BRAND_ICON}" STREQUAL "")
    set(BRAND_ICON ${CMAKE_SOURCE_DIR}/shell/installer.ico)
  endif()
  get_filename_component(icon "${BRAND_ICON}" ABSOLUTE)
  if(NOT EXISTS "${icon}")
    message(FATAL_ERROR "brand: no icon ${icon}")
  endif()
  rc_text(icon "${icon}")
  file(CONFIGURE OUTPUT ${BRAND_OUTPUT} CONTENT
"// The brand of the program (made by CMake, cmake/brand.cmake).
#define BRAND_VALUES${values}
#define BRAND_FILE_DESCRIPTION ${description}
#define BRAND_ICON ${icon}
" @ONLY)
endfunction()
