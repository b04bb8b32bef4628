# Warnings on for every target of ours; the build is kept warning-free.
function(zv_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
