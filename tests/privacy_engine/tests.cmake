# The evidence engine without windows: cases, guard, listing and clean.
tamsel_add_test(privacy_engine_tests privacy_engine LIBS tamsel_privacy)
