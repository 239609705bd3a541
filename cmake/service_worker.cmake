# Writes SITE/sw.js from TEMPLATE: @FILES@ becomes SITE's other files, by
# their paths from the site's root and a space between them, @VERSION@ a hash
# of their names and contents.
file(GLOB names RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM names sw.js)
list(SORT names)
set(files)
set(contents "")
foreach(name IN LISTS names)
    file(SHA256 ${SITE}/${name} hash)
    string(APPEND contents "${name} ${hash}\n")
    list(APPEND files "./${name}")
endforeach()
string(SHA256 version "${contents}")
string(SUBSTRING ${version} 0 16 VERSION)
list(JOIN files " " FILES)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
