# Frame decoding throughput (meter).
quillon_add_bench(decode_bench SOURCES decode_bench.cpp LIBS quillon_meter)
