tamsel_add_test(tools_tests tools LIBS tamsel_app)
