
add_executable(bench_filelist bench_filelist.cpp)
target_link_libraries(bench_filelist PRIVATE qv_filelist_core)

add_executable(fuzz_profilefile fuzz_profilefile.cpp)
target_link_libraries(fuzz_profilefile PRIVATE qv_config_core)

add_executable(bench_adding bench_adding.cpp)
target_link_libraries(bench_adding PRIVATE quorvel_widgets)

add_executable(bench_rename bench_rename.cpp)
target_link_libraries(bench_rename PRIVATE quorvel_widgets)

add_executable(bench_plan bench_plan.cpp)
target_link_libraries(bench_plan PRIVATE quorvel_widgets)

add_executable(bench_journal bench_journal.cpp)
target_link_libraries(bench_journal PRIVATE qv_rename_core)

# The command line against perl rename, mmv and bare system-call loops; runs the program built
# beside it.
add_executable(bench_cli bench_cli.cpp)
target_link_libraries(bench_cli PRIVATE Qt6::Core)

# The date taken of 10,000 photos: readMediaValues against the exiv2 program and exiftool, and
# the program's own dry run naming them by it; runs the program built beside it.
add_executable(bench_metadata bench_metadata.cpp)
target_link_libraries(bench_metadata PRIVATE qv_metadata_core)
