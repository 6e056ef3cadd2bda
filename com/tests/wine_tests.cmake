# The Wine tests of vamuMapserver.dll, added to the native build tree when
# VAMU_WINE_TESTS is on. They run against the mingw build trees, which must
# have been built before (the i686 one is required, x86_64 is used when
# present). Each architecture has one Wine prefix, made by its setup test and
# shared by the others; the tests of one prefix never run at the same time.
set(VAMU_MINGW_I686_DIR ${PROJECT_SOURCE_DIR}/build/mingw-i686 CACHE PATH
    "mingw-i686 build tree holding vamuMapserver.dll and the Wine test host")
set(VAMU_MINGW_X86_64_DIR ${PROJECT_SOURCE_DIR}/build/mingw-x86_64 CACHE PATH
    "mingw-x86_64 build tree holding vamuMapserver.dll and the Wine test host")

function(vamu_add_wine_tests arch dir)
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/run_wine_tests.sh)
  set(fixture wine_${arch})
  add_test(NAME ${fixture}_setup COMMAND bash ${script} ${dir} ${arch} setup)
  set_tests_properties(${fixture}_setup PROPERTIES
    FIXTURES_SETUP ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 900 SKIP_RETURN_CODE 77)
  foreach(name registered typelib dispatch boundary session vbscript hosted bench random)
    add_test(NAME ${fixture}_${name} COMMAND bash ${script} ${dir} ${arch} ${name})
    set_tests_properties(${fixture}_${name} PROPERTIES
      FIXTURES_REQUIRED ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 600 SKIP_RETURN_CODE 77)
  endforeach()
  # vamu-host.exe against the registered DLL gives the same lines as the
  # native vamu-host, session by session.
  get_property(sessions GLOBAL PROPERTY VAMU_SESSIONS)
  foreach(session IN LISTS sessions)
    get_property(session_args GLOBAL PROPERTY VAMU_SESSION_${session})
    add_test(NAME ${fixture}_same_as_native.${session}
             COMMAND bash ${script} ${dir} ${arch} same-as-native $<TARGET_FILE:vamu-host> ${session_args})
    set_tests_properties(${fixture}_same_as_native.${session} PROPERTIES
      FIXTURES_REQUIRED ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 300 SKIP_RETURN_CODE 77)
  endforeach()
  # The Windows platform's own checks, in a prefix of their own.
  add_test(NAME win_platform_${arch}
           COMMAND sh ${PROJECT_SOURCE_DIR}/win/tests/run_win_check.sh ${dir})
  set_tests_properties(win_platform_${arch} PROPERTIES TIMEOUT 600 RESOURCE_LOCK win_platform_${arch} SKIP_RETURN_CODE 77)
  # The map tiles' platform pieces against the loopback tile server, in a prefix of their own.
  add_test(NAME win_tiles_${arch}
           COMMAND sh ${PROJECT_SOURCE_DIR}/win/tests/run_tile_check.sh ${dir} ${dir}/wine-tile-check)
  set_tests_properties(win_tiles_${arch} PROPERTIES TIMEOUT 600 RESOURCE_LOCK win_tiles_${arch} SKIP_RETURN_CODE 77)
  # Map tiles through vamu-host.exe and the DLL against the loopback tile
  # server: alignment, late tiles, the built-in source, the operator's pick,
  # prefetch through the DLL, the same session as the native vamu-host, the
  # installed control.
  add_test(NAME win_tile_session_${arch}
           COMMAND sh ${PROJECT_SOURCE_DIR}/win/tests/run_tile_session.sh ${dir} ${dir}/wine-tile-session
                   $<TARGET_FILE:vamu-host>)
  set_tests_properties(win_tile_session_${arch} PROPERTIES
    TIMEOUT 900 RESOURCE_LOCK win_tile_session_${arch} SKIP_RETURN_CODE 77)
  # Every request under each single platform or host failure, in a prefix of its own.
  add_test(NAME win_fault_sweep_${arch}
           COMMAND sh ${PROJECT_SOURCE_DIR}/win/tests/run_win_check.sh ${dir} ${dir}/wine-fault-sweep
                   vamu_fault_sweep_check)
  set_tests_properties(win_fault_sweep_${arch} PROPERTIES
    TIMEOUT 900 RESOURCE_LOCK win_fault_sweep_${arch} SKIP_RETURN_CODE 77)
  add_test(NAME ${fixture}_unregister COMMAND bash ${script} ${dir} ${arch} unregister)
  set_tests_properties(${fixture}_unregister PROPERTIES
    FIXTURES_CLEANUP ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 300 SKIP_RETURN_CODE 77)
endfunction()

vamu_add_wine_tests(i686 ${VAMU_MINGW_I686_DIR})
if(EXISTS ${VAMU_MINGW_X86_64_DIR}/com/vamuMapserver.dll)
  vamu_add_wine_tests(x86_64 ${VAMU_MINGW_X86_64_DIR})
endif()

# The installers (vamuMapserver-<version>-setup.exe of the mingw-i686 preset,
# -x64-setup.exe of mingw-x86_64) where makensis is installed, each in a
# fresh prefix of its own; skipped where Wine cannot run programs of its
# width.
find_program(VAMU_MAKENSIS makensis)
if(VAMU_MAKENSIS)
  foreach(arch_dir_suffix "i686;${VAMU_MINGW_I686_DIR};" "x86_64;${VAMU_MINGW_X86_64_DIR};-x64")
    list(GET arch_dir_suffix 0 arch)
    list(GET arch_dir_suffix 1 dir)
    list(GET arch_dir_suffix 2 suffix)
    if(arch STREQUAL "x86_64" AND NOT EXISTS ${dir}/com/vamuMapserver.dll)
      continue()
    endif()
    add_test(NAME installer_${arch}
             COMMAND bash ${PROJECT_SOURCE_DIR}/installer/tests/run_installer_tests.sh
                     ${dir}/installer/vamuMapserver-${PROJECT_VERSION}${suffix}-setup.exe)
    set_tests_properties(installer_${arch} PROPERTIES
      TIMEOUT 900 RESOURCE_LOCK installer_${arch} SKIP_RETURN_CODE 77)
  endforeach()
endif()
