# Shared build settings of the mirk targets.

function(mirk_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -ffp-contract=off)
  if(MIRK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Sanitizers apply to every target of the build, the library included, so
# that no object escapes instrumentation.
if(MIRK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# A fuzz build gives the whole library coverage instrumentation, so that
# libFuzzer sees the code under test and not only the target's own file.
if(MIRK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=fuzzer-no-link)
endif()

# A libFuzzer target T is fuzz/T.cpp. It is always built as a replay binary
# that feeds every file of fuzz/corpus/T to the target (a ctest test); with
# MIRK_FUZZ it is also built as a real fuzzer.
function(mirk_add_fuzzer name)
  set(src ${PROJECT_SOURCE_DIR}/fuzz/${name}.cpp)
  if(MIRK_TESTS)
    add_executable(replay_${name} ${src} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    target_link_libraries(replay_${name} PRIVATE mirk::mirk)
    mirk_set_warnings(replay_${name})
    add_test(NAME fuzz_replay_${name}
             COMMAND replay_${name} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
  if(MIRK_FUZZ)
    add_executable(fuzz_${name} ${src})
    target_link_libraries(fuzz_${name} PRIVATE mirk::mirk)
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    mirk_set_warnings(fuzz_${name})
  endif()
endfunction()

# A benchmark N is bench/N.cpp, linked with Google Benchmark and Eigen (a
# baseline only).
function(mirk_add_benchmark name)
  add_executable(bench_${name} ${PROJECT_SOURCE_DIR}/bench/${name}.cpp)
  target_link_libraries(bench_${name} PRIVATE mirk::mirk benchmark::benchmark Eigen3::Eigen)
  mirk_set_warnings(bench_${name})
endfunction()
