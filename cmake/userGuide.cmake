# Writes the Chinese user guide of the release archive from README.md's Chinese
# user sections, so the two never drift apart.
#   cmake -DREADME=README.md -DOUT=UserGuide.txt -DVERSION=x.y.z -P userGuide.cmake
# Notepad wants a byte-order mark to take the file for UTF-8, and CR LF line ends.
set(SECTIONS 使用方法 配置文件说明 检查配置文件（KeyDeputyCheck）)

file(READ "${README}" text)
set(guide "KeyDeputy ${VERSION} 使用说明\n\n")
foreach(title IN LISTS SECTIONS)
    string(FIND "${text}" "\n## ${title}\n" start)
    if(start EQUAL -1)
        message(FATAL_ERROR "${README} has no section \"## ${title}\"")
    endif()
    math(EXPR start "${start} + 1")
    string(SUBSTRING "${text}" ${start} -1 rest)
    # A section runs to the next level-2 heading or to the end.
    string(FIND "${rest}" "\n## " end)
    string(SUBSTRING "${rest}" 0 ${end} section)
    string(APPEND guide "${section}\n")
endforeach()

# Plain text: no code fences, inline code marks or bold marks; headings stand out.
string(REGEX REPLACE "```[a-z]*\n" "" guide "${guide}")
string(REPLACE "`" "" guide "${guide}")
string(REPLACE "**" "" guide "${guide}")
string(REGEX REPLACE "\n## ([^\n]*)" "\n【\\1】" guide "${guide}")
string(REGEX REPLACE "\n### ([^\n]*)" "\n■ \\1" guide "${guide}")
string(REGEX REPLACE "\n\n\n+" "\n\n" guide "${guide}")
string(REPLACE "\n" "\r\n" guide "${guide}")
string(ASCII 239 187 191 bom)
file(WRITE "${OUT}" "${bom}${guide}")
