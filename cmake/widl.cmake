# Type libraries and C headers from IDL files, with widl from the mingw-w64
# tools and the system IDL files and stdole2.tlb of Wine.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_vamu_widl_arch -m64)
  set(_vamu_wine_dir /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
else()
  set(_vamu_widl_arch -m32)
  set(_vamu_wine_dir /usr/lib/i386-linux-gnu/wine/i386-windows)
endif()
string(REGEX REPLACE "-g\\+\\+.*$" "" _vamu_tool_prefix "${CMAKE_CXX_COMPILER}")
find_program(VAMU_WIDL NAMES ${_vamu_tool_prefix}-widl widl REQUIRED)
set(VAMU_IDL_INCLUDE_DIR /usr/include/wine/wine/windows CACHE PATH "System IDL files for widl")
set(VAMU_STDOLE_DIR ${_vamu_wine_dir} CACHE PATH "Folder holding stdole2.tlb for widl")

# vamu_widl(TARGET IDL HEADER TLB): a custom target TARGET that makes HEADER
# and TLB (paths in the build tree) from IDL (in the current source folder).
function(vamu_widl target idl header tlb)
  get_filename_component(dir ${header} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  add_custom_command(
    OUTPUT ${header} ${tlb}
    COMMAND ${VAMU_WIDL} ${_vamu_widl_arch} -I ${VAMU_IDL_INCLUDE_DIR} -L ${VAMU_STDOLE_DIR}
            -h -H ${header} -t -T ${tlb} ${CMAKE_CURRENT_SOURCE_DIR}/${idl}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${idl}
    COMMENT "widl ${idl}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${header} ${tlb})
endfunction()
