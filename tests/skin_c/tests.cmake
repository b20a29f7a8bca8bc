tamsel_add_test(skin_c_tests skin_c LIBS tamsel_skin)
