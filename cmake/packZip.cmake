# Run by cpack once it has made the archive. CPack's zip lists the entries in the
# order the file system returns them and records the builder's user, group and
# file times, so two builds of one commit would differ; the archive is packed
# again from the same staged files with reproducibleZip.pl.
# The entries' time is the commit's (SOURCE_DATE_EPOCH, when set, wins).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git -C "${CPACK_KD_SOURCE_DIR}" log -1 --format=%ct
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE failed ERROR_QUIET)
    # Outside a git checkout: the earliest time a zip entry can hold.
    if(failed OR NOT epoch MATCHES "^[0-9]+$")
        set(epoch 315532800)
    endif()
endif()
foreach(package ${CPACK_PACKAGE_FILES})
    file(REMOVE "${package}")
    execute_process(COMMAND perl "${CPACK_KD_ZIP_SCRIPT}" "${package}"
            "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_PACKAGE_FILE_NAME}" "${epoch}"
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "reproducibleZip.pl failed for ${package}")
    endif()
endforeach()
