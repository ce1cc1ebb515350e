# Writes OUT: the text of every level file in DIR (Niveau_N.txt), built into
# the game so that a replay plays the shipped levels whatever a folder holds.
file(GLOB files ${DIR}/Niveau_*.txt)
set(body "")
foreach(file ${files})
  get_filename_component(name ${file} NAME_WE)
  string(REGEX REPLACE "^Niveau_" "" level ${name})
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
  string(APPEND body "    {${level}, \"${escaped}\"},\n")
endforeach()
file(WRITE ${OUT}.new "// Written by game/replay/shipped_levels.cmake from assets/Niveaux.\n"
  "#include \"game/replay/shipped_levels.h\"\n\n"
  "const ShippedLevel kShippedLevels[] = {\n${body}};\n"
  "const int kShippedLevelCount = sizeof kShippedLevels / sizeof kShippedLevels[0];\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUT}.new ${OUT})
