# The paper pane's benchmark needs the window's library and a Qt application.
if(TARGET frontpanel)
  target_link_libraries(paper_bench PRIVATE frontpanel)
else()
  set_target_properties(paper_bench PROPERTIES EXCLUDE_FROM_ALL ON)
endif()
