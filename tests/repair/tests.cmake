tamsel_add_test(repair_tests repair LIBS tamsel_app)
