# Writes the site's service worker (cmake -P): every file of the site to keep,
# under a cache name that changes with any of them; and that name as the
# site's version.
#   cmake -DSITE=<site> -DTEMPLATE=<sw.js.in> -P offline.cmake
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js version.json)
list(SORT files)
set(all "")
set(listed "'./'")
foreach(f ${files})
  file(SHA256 ${SITE}/${f} sum)
  string(APPEND all "${f} ${sum}\n")
  string(APPEND listed ", '${f}'")
endforeach()
string(SHA256 hash "${all}")
string(SUBSTRING ${hash} 0 16 GLOUTO_SITE_HASH)
set(GLOUTO_SITE_FILES "${listed}, 'version.json'")
# The site's version, which "Deux écrans" compares with the other device's.
file(WRITE ${SITE}/version.json "{\"version\": \"${GLOUTO_SITE_HASH}\"}\n")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
