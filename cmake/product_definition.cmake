# The product's texts for version resources, read from setup/product.h so the product stays
# configured in one place. Sets TVL_COMPANY_NAME, TVL_LONG_NAME, TVL_VERSION_TEXT,
# TVL_FILE_VERSION ("1.0.1" -> "1.0.1.0") and TVL_VERSION_NUMBERS (1,0,1,0).
file(READ ${CMAKE_CURRENT_LIST_DIR}/../setup/product.h TVL_PRODUCT_H)
foreach(pair "kPublisherNameEn;TVL_COMPANY_NAME" "kLongNameEn;TVL_LONG_NAME"
             "kVersionText;TVL_VERSION_TEXT")
  list(GET pair 0 constant)
  list(GET pair 1 variable)
  if(NOT TVL_PRODUCT_H MATCHES "${constant} = \"([^\"]*)\"")
    message(FATAL_ERROR "setup/product.h has no ${constant}")
  endif()
  set(${variable} "${CMAKE_MATCH_1}")
endforeach()
string(REPLACE "." ";" tvl_version_parts "${TVL_VERSION_TEXT}")
list(LENGTH tvl_version_parts tvl_version_count)
while(tvl_version_count LESS 4)
  list(APPEND tvl_version_parts 0)
  list(LENGTH tvl_version_parts tvl_version_count)
endwhile()
list(JOIN tvl_version_parts "." TVL_FILE_VERSION)
list(JOIN tvl_version_parts "," TVL_VERSION_NUMBERS)
