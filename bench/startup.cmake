# Start-up yardstick: a bare main window with a menu bar, measured against QUILLON by
# startup_figures.sh (not a Google Benchmark program).
qt_add_executable(bare_window bare_window.cpp)
target_link_libraries(bare_window PRIVATE Qt6::Widgets)
