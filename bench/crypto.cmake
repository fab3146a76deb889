# AES-256-CBC and SHA-256 throughput of pncrypto (compare with OpenSSL's
# software path through crypto_vs_openssl.sh).
add_executable(crypto_bench ${CMAKE_CURRENT_LIST_DIR}/crypto_bench.cpp)
target_link_libraries(crypto_bench PRIVATE pncrypto benchmark::benchmark)
