# The layers of the program and the checker, and which may include which; run as
#   cmake -DSOURCE_DIR=<root> -P layering.cmake
# It reads every #include "..." line of our folders and fails naming each line that
# reaches a layer its file may not use. From the bottom up:
#   lib                  includes nothing of ours but its own folder
#   platform             the Win32 helpers, over lib's text helpers
#   app's lookups        the lifecycle state, configuration lookups, texts, tray record
#   actions, screenshot  the handlers; screenshot is one of them
#   menu                 command items, walk, hotkeys and dispatch, over the actions
#   app's window, start  the main window, the loader's start-up decision, main
#   check                the checker: the program's portable rules, never its Win32 side

cmake_minimum_required(VERSION 3.25)

set(APP_TOP "^app/(main\\.cpp|mainWindow\\.(h|cpp)|configLoad\\.(h|cpp)|reload(Win)?\\.(h|cpp)|configWatchWin\\.(h|cpp))$")
set(APP_LOOKUPS "^app/(lifecycle|configLookup|messages|appInstance|resourceIds|trayIcon|configPath|instanceName|autostart|autostartWin|reloadWin)\\.h$")

# Each layer: the files it holds, the includes it may use, and (optional) includes
# it may never use even where the folder is allowed. Tried in order; first match.
set(LAYERS platform lib apptop app actions screenshot menu check)
set(platform_FILES "^platform/")
set(platform_MAY "^(platform|lib)/")
set(lib_FILES "^lib/")
set(lib_MAY "^lib/")
set(apptop_FILES "${APP_TOP}")
# The load report explains its cause with the checker's portable core.
set(apptop_MAY "^(lib|platform|app|actions|menu|screenshot|check)/")
set(app_FILES "^app/")
set(app_MAY "^(lib|platform)/" "${APP_LOOKUPS}")
set(actions_FILES "^actions/")
set(actions_MAY "^(lib|platform|actions)/" "${APP_LOOKUPS}")
set(screenshot_FILES "^screenshot/")
set(screenshot_MAY "^(lib|platform|actions|screenshot)/" "${APP_LOOKUPS}")
set(menu_FILES "^menu/")
set(menu_MAY "^(lib|platform|actions|menu)/" "${APP_LOOKUPS}")
set(check_FILES "^check/")
set(check_MAY "^(lib|actions|menu|check)/" "^app/(configLookup|messages|instanceName)\\.h$")
# The checker compiles in the program's text conversion and its shell look-ups (what a
# command will find), and nothing else of its Win32 side.
set(check_NEVER "^actions/.*Win\\.h$" "^menu/(dispatch|hotkey|menuWalk|shellCommand)Win\\.h$" "^lib/xmlFileWin")

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "layering.cmake needs -DSOURCE_DIR=<source root>")
endif()
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
     ${SOURCE_DIR}/platform/*.[ch]* ${SOURCE_DIR}/lib/*.[ch]* ${SOURCE_DIR}/app/*.[ch]*
     ${SOURCE_DIR}/actions/*.[ch]* ${SOURCE_DIR}/screenshot/*.[ch]* ${SOURCE_DIR}/menu/*.[ch]*
     ${SOURCE_DIR}/check/*.[ch]*)
list(FILTER sources INCLUDE REGEX "\\.(h|cpp)$")

set(faults 0)
set(lines 0)
foreach(source ${sources})
    set(layer "")
    foreach(candidate ${LAYERS})
        if(source MATCHES "${${candidate}_FILES}")
            set(layer ${candidate})
            break()
        endif()
    endforeach()
    if(NOT layer)
        message(SEND_ERROR "${source}: in no layer; add it to tests/layering.cmake")
        math(EXPR faults "${faults} + 1")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    file(READ ${SOURCE_DIR}/${source} content)
    foreach(line ${includes})
        math(EXPR lines "${lines} + 1")
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" target "${line}")
        if(NOT target MATCHES "/")
            continue()  # a file beside itself
        endif()
        set(allowed FALSE)
        foreach(pattern ${${layer}_MAY})
            if(target MATCHES "${pattern}")
                set(allowed TRUE)
            endif()
        endforeach()
        foreach(pattern ${${layer}_NEVER})
            if(target MATCHES "${pattern}")
                set(allowed FALSE)
            endif()
        endforeach()
        if(NOT allowed)
            string(FIND "${content}" "${line}" at)
            string(SUBSTRING "${content}" 0 ${at} before)
            string(REGEX MATCHALL "\n" breaks "${before}")
            list(LENGTH breaks number)
            math(EXPR number "${number} + 1")
            message(SEND_ERROR "${source}:${number}: ${line}  -- the ${layer} layer may not include ${target}")
            math(EXPR faults "${faults} + 1")
        endif()
    endforeach()
endforeach()
list(LENGTH sources files)
if(faults GREATER 0)
    message(FATAL_ERROR "${faults} include(s) reach across the layers")
endif()
message(STATUS "${lines} includes of ${files} files keep to their layers")
