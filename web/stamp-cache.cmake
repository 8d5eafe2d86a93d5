# cmake -DPAGE=folder -DVERSION=v -P stamp-cache.cmake: fills in the service
# worker's list of the page's files and its cache name, a digest of the
# files' contents, so that a new build replaces the cache of the old.
file(GLOB_RECURSE files RELATIVE ${PAGE} ${PAGE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(list "\"./\"")
set(digests "")
foreach(file ${files})
  string(APPEND list ", \"./${file}\"")
  file(SHA256 ${PAGE}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
endforeach()
string(SHA256 stamp "${VERSION}\n${digests}")
string(SUBSTRING ${stamp} 0 16 stamp)
set(CACHE_STAMP "${VERSION}-${stamp}")
set(CACHE_FILES "${list}")
configure_file(${PAGE}/sw.js ${PAGE}/sw.js @ONLY)
