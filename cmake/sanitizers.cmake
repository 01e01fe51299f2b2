# Sanitizer and fuzzing instrumentation for the whole tree. Both need clang for libFuzzer;
# the sanitizers alone also build with gcc.
set(KTAVRO_SANITIZER_FLAGS "")
if(KTAVRO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KTAVRO_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  # Coverage for the fuzzers everywhere; the fuzzer's main only in the fuzz targets.
  list(APPEND KTAVRO_SANITIZER_FLAGS -fsanitize=fuzzer-no-link,address,undefined)
elseif(KTAVRO_SANITIZE)
  list(APPEND KTAVRO_SANITIZER_FLAGS -fsanitize=${KTAVRO_SANITIZE})
endif()
if(KTAVRO_SANITIZER_FLAGS)
  list(APPEND KTAVRO_SANITIZER_FLAGS -fno-omit-frame-pointer)
  if(KTAVRO_FUZZ OR KTAVRO_SANITIZE MATCHES "undefined")
    # A finding must fail the run, not scroll by.
    list(APPEND KTAVRO_SANITIZER_FLAGS -fno-sanitize-recover=undefined)
  endif()
  add_compile_options(${KTAVRO_SANITIZER_FLAGS})
  add_link_options(${KTAVRO_SANITIZER_FLAGS})
endif()

# ktavro_no_vptr_check(<target>): for modules loaded with dlopen into a host built without
# their runtime. The vptr check's type cache lives in the sanitizer runtime of the
# executable; a module built with it references symbols that not every loader exports, so
# dlopen fails on an unresolved symbol.
function(ktavro_no_vptr_check target)
  if(KTAVRO_FUZZ OR KTAVRO_SANITIZE MATCHES "undefined")
    target_compile_options(${target} PRIVATE -fno-sanitize=vptr)
    target_link_options(${target} PRIVATE -fno-sanitize=vptr)
  endif()
endfunction()

# ktavro_no_enum_check(<target>): for targets that read Thrift's binary protocol. Its
# readers (templates in Thrift's headers, instantiated in the target) load a field's type
# byte straight into the TType enum before checking it, so any unknown type on the wire
# trips the enum check although the reader then skips or refuses the field. Findings are
# fatal here, which run-time suppressions cannot stop, so the check is left out instead.
function(ktavro_no_enum_check target)
  if(KTAVRO_FUZZ OR KTAVRO_SANITIZE MATCHES "undefined")
    target_compile_options(${target} PRIVATE -fno-sanitize=enum)
  endif()
endfunction()
