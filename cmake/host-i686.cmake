# The host build as 32-bit x86 code with x87 floating point at -O2, the product's arithmetic;
# time_t of 64 bits as in the product's runtime.
set(CMAKE_C_FLAGS_INIT "-m32 -mfpmath=387 -O2 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -mfpmath=387 -O2 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
