target_link_libraries(core_bench PRIVATE m6303 headless)
