# Journalling one record of a recording (the recording journal's cost per record).
add_executable(journal_bench ${CMAKE_CURRENT_LIST_DIR}/journal_bench.cpp)
target_link_libraries(journal_bench PRIVATE benchmark::benchmark quillon_recording)
