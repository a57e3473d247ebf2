# kd_add_version_resource(TARGET DESCRIPTION ORIGINAL_FILENAME)
# Gives a program the version information Windows shows in the file's properties.
# The numbers are the project's version; the rest is per program.
set(KD_VERSION_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/versionInfo.rc.in)

function(kd_add_version_resource target description originalFilename)
    set(KD_VERSION_DESCRIPTION "${description}")
    set(KD_VERSION_INTERNAL_NAME "${target}")
    set(KD_VERSION_ORIGINAL_FILENAME "${originalFilename}")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.rc)
    configure_file(${KD_VERSION_TEMPLATE} ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
