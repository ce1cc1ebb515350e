# The browser build (emcmake cmake): emscripten's own SDL 1.2, SDL_image and
# SDL_ttf, no pkg-config. The site gathers in <build>/site.
set(GLOUTO_SITE ${CMAKE_BINARY_DIR}/site)
set(GLOUTO_GAME_MAIN platform/web/main.cpp)
set(GLOUTO_EDITOR_MAIN platform/web/main.cpp)

# SDL_Delay must yield to the browser inside the game's blocking loops.
target_compile_options(glouto_sdl INTERFACE -sUSE_SDL=1)
target_link_options(glouto_sdl INTERFACE -sUSE_SDL=1 -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1 -lidbfs.js
  "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/platform/web/marks.js"
  "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/platform/web/frames.js"
  "-sEXPORTED_RUNTIME_METHODS=['FS']")

# The site ships each wave track compressed, as <name>.wav.mp3: the game
# still finds "Musique/Musique.wav" first, and "Musique/Musique.mp3" stays
# the end screen's own jingle. The tracks are the site's files, beside the
# pages, not in the game's package.
function(glouto_web_music out)
  file(GLOB tracks ${GLOUTO_ASSETS}/Musique/*)
  set(made)
  set(names)
  foreach(track ${tracks})
    get_filename_component(name ${track} NAME)
    if(name MATCHES "\\.wav$")
      set(name ${name}.mp3)
      add_custom_command(OUTPUT ${out}/${name}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
        COMMAND lame --quiet -V 6 ${track} ${out}/${name}
        DEPENDS ${track} VERBATIM)
    else()
      add_custom_command(OUTPUT ${out}/${name}
        COMMAND ${CMAKE_COMMAND} -E copy ${track} ${out}/${name} DEPENDS ${track} VERBATIM)
    endif()
    list(APPEND made ${out}/${name})
    list(APPEND names "'${name}'")
  endforeach()
  add_custom_target(glouto_web_music DEPENDS ${made})
  # The names the game finds in Musique/ (see glouto.js, standInTracks).
  list(JOIN names ", " names)
  file(WRITE ${CMAKE_BINARY_DIR}/music_tracks.js "Module.gloutoTracks = [${names}];\n")
endfunction()

# One program of the site: <name>.js, .wasm and .data, preloading `folders`.
function(glouto_web_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${GLOUTO_SITE}
    LINK_DEPENDS "${CMAKE_SOURCE_DIR}/platform/web/marks.js;${CMAKE_SOURCE_DIR}/platform/web/frames.js")
  set(preload)
  foreach(folder ${ARGN})
    if(folder STREQUAL "Musique")
      list(APPEND preload "SHELL:--pre-js ${CMAKE_BINARY_DIR}/music_tracks.js")
      add_dependencies(${target} glouto_web_music)
    else()
      list(APPEND preload "SHELL:--preload-file ${GLOUTO_ASSETS}/${folder}@/${folder}")
    endif()
  endforeach()
  target_link_options(${target} PRIVATE ${preload} "SHELL:--exclude-file *Niveau_.txt" --use-preload-plugins)
endfunction()

function(glouto_web_site)
  glouto_web_music(${GLOUTO_SITE}/Musique)
  glouto_web_program(game Images Niveaux Musique)
  target_link_options(game PRIVATE "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/platform/web/pads.js")
  set_property(TARGET game APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/pads.js)
  glouto_web_program(editor Images Niveaux)

  # glouto-niveau's checker and the share code, for the editor page and shared links.
  add_executable(niveau platform/web/page/level_verdict.cpp)
  target_link_libraries(niveau PRIVATE glouto_level)
  set_target_properties(niveau PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${GLOUTO_SITE})
  target_link_options(niveau PRIVATE -sMODULARIZE=1 -sEXPORT_NAME=NiveauModule
    "-sEXPORTED_FUNCTIONS=['_LevelVerdictFor','_LevelShareCode','_LevelFromCode','_LevelSharedNumber','_LevelShareWhy','_LevelForWidth','_malloc','_free']"
    "-sEXPORTED_RUNTIME_METHODS=['ccall','UTF8ToString']")

  set(copied)
  file(GLOB pages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/page/*.html
    ${CMAKE_SOURCE_DIR}/platform/web/page/*.js ${CMAKE_SOURCE_DIR}/platform/web/page/*.css
    ${CMAKE_SOURCE_DIR}/platform/web/page/*.webmanifest ${CMAKE_SOURCE_DIR}/platform/web/page/*.jpg)
  # The hero's icon: the favicon, and a home screen's.
  set(icons ${CMAKE_SOURCE_DIR}/packaging/icons)
  foreach(icon "48;icone.png" "192;icone-192.png" "512;icone-512.png" "maskable-192;icone-masque-192.png"
      "maskable-512;icone-masque-512.png")
    list(GET icon 0 size)
    list(GET icon 1 name)
    add_custom_command(OUTPUT ${GLOUTO_SITE}/${name}
      COMMAND ${CMAKE_COMMAND} -E copy ${icons}/glouto-${size}.png ${GLOUTO_SITE}/${name}
      DEPENDS ${icons}/glouto-${size}.png VERBATIM)
    list(APPEND copied ${GLOUTO_SITE}/${name})
  endforeach()
  # The first screen of each program as the desktop program draws it (the
  # pictures its tests approve), shown in the canvas's box until the program
  # draws there: the page's largest paint comes at once, not after 2 MB.
  foreach(still "menu.png;ecran-menu.png" "editor.size.png;ecran-taille.png")
    list(GET still 0 from)
    list(GET still 1 name)
    add_custom_command(OUTPUT ${GLOUTO_SITE}/${name}
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/tests/approved/${from} ${GLOUTO_SITE}/${name}
      DEPENDS ${CMAKE_SOURCE_DIR}/tests/approved/${from} VERBATIM)
    list(APPEND copied ${GLOUTO_SITE}/${name})
  endforeach()
  foreach(page ${pages} ${GLOUTO_ASSETS}/Readme.html ${GLOUTO_ASSETS}/Police/comic.ttf)
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${page})
    get_filename_component(name ${page} NAME)
    set(to ${GLOUTO_SITE}/${name})
    if(name STREQUAL "comic.ttf")
      set(to ${GLOUTO_SITE}/Police/${name})
    endif()
    add_custom_command(OUTPUT ${to} COMMAND ${CMAKE_COMMAND} -E copy ${page} ${to}
      DEPENDS ${page} VERBATIM)
    list(APPEND copied ${to})
  endforeach()
  add_custom_target(glouto_web_pages ALL DEPENDS ${copied})

  glouto_web_serveur()
  add_dependencies(glouto_web_pages glouto_web_serveur)

  # Last, once every other file of the site is in place.
  add_custom_target(glouto_web_offline ALL
    COMMAND ${CMAKE_COMMAND} -DSITE=${GLOUTO_SITE}
      -DTEMPLATE=${CMAKE_SOURCE_DIR}/platform/web/page/sw.js.in
      -P ${CMAKE_SOURCE_DIR}/platform/web/offline.cmake VERBATIM)
  add_dependencies(glouto_web_offline glouto_web_pages glouto_web_music game editor niveau)
endfunction()

# "Deux écrans": the node server ./glouto.sh web runs (the site and PeerJS's
# signalling), in <build>/serveur with the packages its lockfile pins; two of
# them go to the pages: PeerJS's client (its minified file without its
# licence, copied beside it) and the QR code's maker (licence in its header).
function(glouto_web_serveur)
  set(from ${CMAKE_SOURCE_DIR}/platform/web/serveur)
  set(to ${CMAKE_BINARY_DIR}/serveur)
  set(installed ${to}/node_modules/.package-lock.json)
  find_program(GLOUTO_NPM npm REQUIRED)
  file(MAKE_DIRECTORY ${to})
  # What the pages take from the packages is made by the same install.
  add_custom_command(OUTPUT ${installed} ${to}/node_modules/peerjs/dist/peerjs.min.js
      ${to}/node_modules/peerjs/LICENSE ${to}/node_modules/qrcode-generator/dist/qrcode.js
    COMMAND ${CMAKE_COMMAND} -E copy ${from}/package.json ${from}/package-lock.json ${to}
    COMMAND ${GLOUTO_NPM} ci --no-audit --no-fund --loglevel=error
    WORKING_DIRECTORY ${to} DEPENDS ${from}/package.json ${from}/package-lock.json VERBATIM)
  set(made ${installed})
  foreach(file "${from}/serveur.js;${to}/serveur.js"
      "${to}/node_modules/peerjs/dist/peerjs.min.js;${GLOUTO_SITE}/peerjs.min.js"
      "${to}/node_modules/peerjs/LICENSE;${GLOUTO_SITE}/licences/peerjs.txt"
      "${to}/node_modules/qrcode-generator/dist/qrcode.js;${GLOUTO_SITE}/qrcode.js")
    list(GET file 0 source)
    list(GET file 1 copy)
    add_custom_command(OUTPUT ${copy} COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
      DEPENDS ${source} ${installed} VERBATIM)
    list(APPEND made ${copy})
  endforeach()
  add_custom_target(glouto_web_serveur DEPENDS ${made})
endfunction()
