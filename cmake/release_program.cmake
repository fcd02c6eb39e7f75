# How every shipped Windows program is linked (the setup and the product's programs).
#
# Page-sized file alignment: with the linker's default of 512 bytes Wine cannot map the image
# and reads all of it into memory before the program starts, which for the setup means its
# whole payload; aligned to pages it is mapped and read only where touched, as Windows does
# either way. No symbols or debug sections, and no time stamp in the header, so that two
# builds of the same sources give the same bytes wherever their build folders lie. The 32-bit
# setup carries a whole payload file in memory beside its mapped image, so it may use the
# address space above 2 GiB.
#
# tarvelon_release_program(TARGET)
function(tarvelon_release_program target)
  target_link_options(${target} PRIVATE
    -s
    -Wl,--file-alignment,4096
    -Wl,--section-alignment,4096
    -Wl,--no-insert-timestamp)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,--large-address-aware)
  endif()
endfunction()
