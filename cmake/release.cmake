# The release archive: cmake --build --preset windows --target package makes
# KeyDeputy-<version>-win64.zip. Its files are made by the default build, so the
# package target (which builds everything first) finds them up to date.
set(KD_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(KD_GUIDE ${KD_RELEASE_DIR}/UserGuide.txt)
set(KD_SUMS ${KD_RELEASE_DIR}/SHA256SUMS)

set(KD_RELEASE_PROGRAMS KeyDeputy)
if(TARGET KeyDeputyCheck)
    list(APPEND KD_RELEASE_PROGRAMS KeyDeputyCheck)
endif()
set(KD_RELEASE_FILES ${CMAKE_SOURCE_DIR}/examples/KeyDeputy.xml ${KD_GUIDE})
foreach(program ${KD_RELEASE_PROGRAMS})
    list(APPEND KD_RELEASE_FILES $<TARGET_FILE:${program}>)
endforeach()

add_custom_command(OUTPUT ${KD_GUIDE}
    COMMAND ${CMAKE_COMMAND} -DREADME=${CMAKE_SOURCE_DIR}/README.md -DOUT=${KD_GUIDE}
            -DVERSION=${PROJECT_VERSION} -P ${CMAKE_CURRENT_LIST_DIR}/userGuide.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/userGuide.cmake
    VERBATIM)
add_custom_command(OUTPUT ${KD_SUMS}
    COMMAND ${CMAKE_COMMAND} -DOUT=${KD_SUMS} -P ${CMAKE_CURRENT_LIST_DIR}/sha256Sums.cmake
            ${KD_RELEASE_FILES}
    DEPENDS ${KD_RELEASE_FILES} ${KD_RELEASE_PROGRAMS} ${CMAKE_CURRENT_LIST_DIR}/sha256Sums.cmake
    VERBATIM)
add_custom_target(kdrelease ALL DEPENDS ${KD_GUIDE} ${KD_SUMS})

install(TARGETS ${KD_RELEASE_PROGRAMS} RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/examples/KeyDeputy.xml ${KD_GUIDE} ${KD_SUMS} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME KeyDeputy-${PROJECT_VERSION}-win64)
# CPack's own zip is not reproducible; packZip.cmake packs the staged files again.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/packZip.cmake)
set(CPACK_KD_ZIP_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/reproducibleZip.pl)
set(CPACK_KD_SOURCE_DIR ${CMAKE_SOURCE_DIR})
include(CPack)
