# AddressSanitizer + UndefinedBehaviorSanitizer (LeakSanitizer comes with ASan on Linux).
if(ZV_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Fuzzing instruments every library so coverage reaches into the engine.
if(ZV_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
