# zu_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest program registered with CTest, case by case, in the fixed test environment:
# Seoul time, a C UTF-8 locale, Qt headless. Each test makes its own data folder (ZuTestHome).
include(GoogleTest)
set(ZU_TEST_ENV "TZ=Asia/Seoul;LANG=C.UTF-8;LC_ALL=C.UTF-8;QT_QPA_PLATFORM=offscreen")
function(zu_add_test name)
  cmake_parse_arguments(ZT "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ZT_SOURCES})
  target_link_libraries(${name} PRIVATE ${ZT_LIBS} ZuTestSupport GTest::gtest GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "${ZU_TEST_ENV}" TIMEOUT 120)
endfunction()
