# Fails when the generator no longer reproduces the bundled model:
#   cmake -DGENERATOR=make_model -DMODEL=examples/rateA.dat -DOUT=scratch.dat -P check_model.cmake
execute_process(COMMAND ${GENERATOR} 1 ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_model failed: ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${MODEL} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "make_model 1 no longer reproduces ${MODEL}")
endif()
