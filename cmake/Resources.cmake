# lanternix_add_resources(TARGET RC_FILE): compiles a resource script and embeds the
# resources in TARGET. (Filled in with the resource loader.)
function(lanternix_add_resources target rc_file)
endfunction()
