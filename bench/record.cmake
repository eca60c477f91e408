# quillon-record's work per poll and its memory over two full recordings.
add_executable(record_bench ${CMAKE_CURRENT_LIST_DIR}/record_bench.cpp)
target_link_libraries(record_bench PRIVATE benchmark::benchmark quillon_record_cli)
target_include_directories(record_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/meter)
