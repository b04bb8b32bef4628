# Warnings on for every target of ours; the build is kept warning-free.
# -DZV_WERROR=ON turns every warning into an error, so that no new one can slip in.
option(ZV_WERROR "Treat compiler warnings as errors" OFF)

function(zv_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(ZV_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
