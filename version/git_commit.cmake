# Writes the checkout's short commit into OUTPUT as KT_GIT_COMMIT. Run at
# every build, so a new commit reaches --version without configuring again;
# file(CONFIGURE) leaves an unchanged header untouched, so nothing recompiles.
execute_process(
    COMMAND git rev-parse --short HEAD
    WORKING_DIRECTORY ${SOURCE_DIR}
    OUTPUT_VARIABLE commit
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE failed
    ERROR_QUIET)
# Outside a git checkout (a source tarball) there is no commit to name.
if(failed OR NOT commit MATCHES "^[0-9a-f]+$")
    set(commit "")
endif()
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT "#define KT_GIT_COMMIT \"${commit}\"\n")
