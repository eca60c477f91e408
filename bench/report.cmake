# Writing and opening reports of a full recording (10000 records).
quillon_add_bench(report_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_bench.cpp
  LIBS quillon_report)
