tamsel_add_test(smoke_tests smoke LIBS tamsel_framework)
add_dependencies(smoke_tests Tamsel Tunekit Sweepkit)
