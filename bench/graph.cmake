# Trend graph drawing speed (quillon_graph).
quillon_add_bench(graph_bench SOURCES graph_bench.cpp LIBS quillon_graph)
