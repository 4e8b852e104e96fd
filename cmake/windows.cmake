# The Windows program, its resources and the end-to-end tests run under Wine.
enable_language(RC)

configure_file(res/version.h.in ${CMAKE_CURRENT_BINARY_DIR}/generated/version.h @ONLY)
configure_file(res/tovix.manifest.in ${CMAKE_CURRENT_BINARY_DIR}/generated/tovix.manifest @ONLY)

add_library(tovix_win32 STATIC
  platform/win32/background_job.cpp
  platform/win32/program_start.cpp
  platform/win32/running_mark.cpp
  platform/win32/session.cpp
  platform/win32/small_icon.cpp
  platform/win32/system_function.cpp
)
target_link_libraries(tovix_win32 PUBLIC tovix_core)
target_compile_definitions(tovix_core PUBLIC WINVER=0x0500 _WIN32_WINNT=0x0500)

add_executable(tovix WIN32 app/main.cpp platform/win32/no_exceptions.cpp platform/win32/operator_new.cpp
  platform/win32/stack_guard.cpp res/tovix.rc)
target_include_directories(tovix PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)
# The resource compiler reports no dependencies: name what tovix.rc takes in.
set_source_files_properties(res/tovix.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/res/tovix.ico;${CMAKE_CURRENT_SOURCE_DIR}/res/controls.manifest;${CMAKE_CURRENT_BINARY_DIR}/generated/tovix.manifest")
# The rest of the program references the Win32 layer; link it after the core.
target_link_libraries(tovix PRIVATE tovix_core tovix_win32 shell32 advapi32 gdi32 user32 kernel32)
# Static C and C++ runtimes: the program needs nothing but Windows itself.
target_link_options(tovix PRIVATE -static -static-libgcc -static-libstdc++ -s
  -Wl,--dynamicbase -Wl,--nxcompat -Wl,--gc-sections)

# What goes into tovix.exe, built alike; check_pe.sh asks the compiler what
# each of their sources was built with.
set(TOVIX_TARGETS tovix_core tovix_win32 tovix)
foreach(target ${TOVIX_TARGETS})
  # The program throws, catches and asks the type of nothing. Built without
  # exceptions and RTTI, it links none of the runtime's unwinder, terminate
  # handler or name demangler: the library routines that would throw end the
  # program instead (no_exceptions.cpp). In C++20 std::string is compiled
  # with the program rather than taken whole, exceptions and all, from the
  # runtime library. A function-local static initialised at run time would
  # bring the machinery back (its thread-safe guard throws), so the program
  # has none; check_pe.sh fails when the size says something did.
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
  # Nothing unwinds, so unwind tables (.eh_frame, a fifth of the program)
  # would only take room; the link drops the runtimes' too.
  target_compile_options(${target} PRIVATE -fno-asynchronous-unwind-tables -fno-unwind-tables)
  if(target STREQUAL tovix)
    target_link_options(${target} PRIVATE -Wl,-T,${CMAKE_CURRENT_SOURCE_DIR}/cmake/discard_unwind_tables.ld)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/discard_unwind_tables.ld)
  endif()
  # Hardening (the host build keeps its sanitizers instead): stack canaries,
  # and memory and string calls checked against the size of their buffers.
  # Both fail into stack_guard.cpp, which also holds the canary and seeds it;
  # -fstack-protector-strong still adds libssp to the link, but nothing is
  # left there for the program to take.
  target_compile_options(${target} PRIVATE -fstack-protector-strong)
  target_compile_definitions(${target} PRIVATE _FORTIFY_SOURCE=2)
  set_target_properties(${target} PROPERTIES EXPORT_COMPILE_COMMANDS ON)
  # The same bytes from any folder: no build path in the program.
  target_compile_options(${target} PRIVATE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
endforeach()
# NO_SEH holds: nothing unwinds, and the runtime's crash handler is a
# top-level filter, so nothing registers a handler frame (check_pe.sh keeps
# it so). The link map tells check_pe.sh where the stack canary is in the
# stripped program.
set(TOVIX_MAP ${CMAKE_CURRENT_BINARY_DIR}/tovix.map)
# The entry point seeds the canary, then starts the C runtime.
target_link_options(tovix PRIVATE -fstack-protector-strong -Wl,--no-seh -Wl,-Map=${TOVIX_MAP}
  -Wl,-e,_stackGuardedStartup)
# No link time in the PE header (nor in its checksum): the same bytes at any time.
target_link_options(tovix PRIVATE -Wl,--no-insert-timestamp)
set_property(TARGET tovix APPEND PROPERTY ADDITIONAL_CLEAN_FILES ${TOVIX_MAP})

add_test(NAME binary.pe COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/check_pe.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:tovix>
  ${TOVIX_MAP} ${CMAKE_BINARY_DIR}/compile_commands.json)

# What a Windows user downloads: a ZIP with the program and its README, and
# a per-user installer. Names and versions come from project(VERSION).
# Only the installer needs NSIS: without it everything else builds, and the
# release target, left out of the default build, fails saying what is
# missing.
find_program(MAKENSIS makensis)
if(MAKENSIS)
  set(MAKE_INSTALLER ${MAKENSIS} -V2 ${CMAKE_CURRENT_BINARY_DIR}/generated/installer.nsi)
else()
  message(STATUS "makensis not found: tovix.exe builds, the release target needs NSIS")
  set(MAKE_INSTALLER ${CMAKE_COMMAND} -E echo "The installer needs NSIS: makensis was not found."
      COMMAND ${CMAKE_COMMAND} -E false)
endif()
set(RELEASE_DIR ${CMAKE_CURRENT_BINARY_DIR}/release)
set(STAGE ${RELEASE_DIR}/files)
set(README ${CMAKE_CURRENT_BINARY_DIR}/generated/README.txt)
set(INSTALLER ${RELEASE_DIR}/tovix-${PROJECT_VERSION}-setup.exe)
set(ZIP ${RELEASE_DIR}/tovix-${PROJECT_VERSION}.zip)
set(ICON ${CMAKE_CURRENT_SOURCE_DIR}/res/tovix.ico)
configure_file(res/user-readme.txt ${README} @ONLY)
configure_file(res/installer.nsi.in ${CMAKE_CURRENT_BINARY_DIR}/generated/installer.nsi @ONLY)
# The same commit gives the same release files anywhere, at any time: every
# time stamp in them is the commit's. The stamp file rebuilds them when it
# changes.
set(SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
if(NOT SOURCE_DATE_EPOCH)
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT SOURCE_DATE_EPOCH)
  string(TIMESTAMP SOURCE_DATE_EPOCH "%s" UTC)
  message(WARNING "No commit time from git and no SOURCE_DATE_EPOCH: the release files take this configure's time")
endif()
set(EPOCH_STAMP ${CMAKE_CURRENT_BINARY_DIR}/generated/source_date_epoch)
file(CONFIGURE OUTPUT ${EPOCH_STAMP} CONTENT "${SOURCE_DATE_EPOCH}\n")
# The ZIP and the installer get their files with the commit's time and
# fixed modes, not this umask's. Info-ZIP's zip -X, unlike CMake's tar,
# stores no owner and no access or change time; its DOS times are local
# ones, hence TZ.
add_custom_command(
  OUTPUT ${RELEASE_DIR}/tovix.exe ${ZIP} ${INSTALLER} ${RELEASE_DIR}/SHA256SUMS
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${STAGE} ${ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tovix> ${README} ${STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tovix> ${RELEASE_DIR}
  COMMAND chmod 0644 ${STAGE}/tovix.exe ${STAGE}/README.txt
  COMMAND touch -d @${SOURCE_DATE_EPOCH} ${STAGE}/tovix.exe ${STAGE}/README.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${STAGE} ${CMAKE_COMMAND} -E env TZ=UTC zip -q -X ${ZIP} tovix.exe README.txt
  COMMAND ${MAKE_INSTALLER}
  COMMAND ${CMAKE_COMMAND} -E chdir ${RELEASE_DIR}
          sh -c "sha256sum tovix.exe tovix-${PROJECT_VERSION}.zip tovix-${PROJECT_VERSION}-setup.exe >SHA256SUMS"
  DEPENDS tovix ${README} ${CMAKE_CURRENT_BINARY_DIR}/generated/installer.nsi ${EPOCH_STAMP}
  VERBATIM)
if(MAKENSIS)
  add_custom_target(release ALL DEPENDS ${ZIP} ${INSTALLER} ${RELEASE_DIR}/SHA256SUMS)
else()
  add_custom_target(release DEPENDS ${ZIP} ${INSTALLER} ${RELEASE_DIR}/SHA256SUMS)
endif()
# Two builds of the committed tree, from fresh clones, give the same bytes.
add_test(NAME release.reproducible COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/reproducible_release.sh
  ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/reproducible ${PROJECT_VERSION})
set_tests_properties(release.reproducible PROPERTIES TIMEOUT 900)

add_subdirectory(tests/e2e)
add_subdirectory(bench)
