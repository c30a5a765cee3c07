# Front door of the project. Every target bootstraps what the machine lacks.
#
#   make test         build everything and run the whole suite under Wine (headless)
#   make test-xvfb    the same suite on a virtual X display
#   make demo         the main job: build the sample kit and install it with _setupx
#   make kit          build the sample kit for diskettes and a whole CD (with its menu) with mkkit, and verify it
#   make bench        the shipped programs' sizes, and the archive benchmark: extraction and kit building against zlib alone
#   make bench-install the install benchmark: _setupx /B against an NSIS installer of the same files
#   make fuzz         the fuzz targets, long: FUZZ_ITERATIONS mutants a reader (default 200000)
#   make dist         build the shipped 32-bit programs into build/dist
#   make clean        remove the build tree

JOBS        ?= 2
BUILD       ?= build
HARNESS     := tools/wine/harness.sh
TEST_ARCH    = $(shell $(HARNESS) arch)
SHIP_DIR    := $(BUILD)/i686
TEST_DIR     = $(BUILD)/$(TEST_ARCH)

# A build tree configured for the compilers of the posix thread model (before
# the programs were built with the win32 ones) is configured anew.
fresh_tree = if [ -f $(1)/CMakeCache.txt ] && \
  ! grep -qs 'CMAKE_CXX_COMPILER "[^"]*-win32"' $(1)/CMakeFiles/*/CMakeCXXCompiler.cmake; then \
  echo "note: $(1) was configured for other compilers; configuring it anew"; rm -rf $(1); fi

.PHONY: all bootstrap ship tests test test-xvfb demo kit bench bench-install fuzz dist clean

all: ship

bootstrap:
	@tools/bootstrap.sh $(BUILD)

# The shipped programs are 32-bit.
# (cmake --build configures again by itself when a CMakeLists.txt changed.)
ship: bootstrap
	@$(call fresh_tree,$(SHIP_DIR))
	@test -f $(SHIP_DIR)/CMakeCache.txt || cmake -S . -B $(SHIP_DIR) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake \
	  -DVELT_BUILD_TESTS=$(if $(filter i686,$(TEST_ARCH)),ON,OFF) >/dev/null
	@# A tree that held the whole 32-bit suite (when it ran 32-bit) keeps only
	@# the shipped programs' entries once the suite runs in another.
	@if [ "$(TEST_ARCH)" != i686 ] && grep -qs '^VELT_BUILD_TESTS:BOOL=ON' $(SHIP_DIR)/CMakeCache.txt; then \
	  cmake -S . -B $(SHIP_DIR) -DVELT_BUILD_TESTS=OFF >/dev/null; fi
	@cmake --build $(SHIP_DIR) -j $(JOBS)

# Test programs are built for the architecture the machine's Wine can run.
tests: ship
	@if [ "$(TEST_ARCH)" != i686 ]; then \
	  echo "note: this machine's kernel runs no 32-bit code; testing x86_64 builds under wine64"; \
	  $(call fresh_tree,$(TEST_DIR)); \
	  { test -f $(TEST_DIR)/CMakeCache.txt || cmake -S . -B $(TEST_DIR) \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$(TEST_ARCH).cmake >/dev/null; } && \
	  cmake --build $(TEST_DIR) -j $(JOBS); fi

# Where the tests run in the x86_64 tree, the i686 one runs the import check
# of the shipped programs and their end-to-end entry (shipped_e2e_tests).
test: tests
	@$(HARNESS) start
	@status=0; (cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)) || status=$$?; \
	  if [ "$(TEST_DIR)" != "$(SHIP_DIR)" ]; then (cd $(SHIP_DIR) && ctest --output-on-failure) || status=$$?; fi; \
	  if [ $$status -ne 0 ]; then tools/test-failures.sh $(TEST_DIR) $(SHIP_DIR); fi; \
	  $(HARNESS) stop; exit $$status

test-xvfb: tests
	@$(HARNESS) start --xvfb
	@status=0; (cd $(TEST_DIR) && VELT_SCREENSHOTS=$(CURDIR)/$(BUILD)/screenshots ctest --output-on-failure -j $(JOBS)) || status=$$?; \
	  $(HARNESS) stop; exit $$status

# The fuzz targets of the suite (fuzz_<reader>) with a long budget, each
# program run by itself (the suite's time limit is for the short budget).
# FUZZ_SEED=N changes the mutants; failures go to $(BUILD)/fuzz-failures.
FUZZ_ITERATIONS ?= 200000
fuzz: tests
	@$(HARNESS) start
	@status=0; mkdir -p $(BUILD)/fuzz-failures; for target in $(TEST_DIR)/bin/fuzz_*.exe; do \
	  FUZZ_ITERATIONS=$(FUZZ_ITERATIONS) FUZZ_FAILURES="Z:$(CURDIR)/$(BUILD)/fuzz-failures" \
	    $(HARNESS) run $$target --gtest_color=no || status=$$?; done; \
	  $(HARNESS) stop; exit $$status

demo: tests
	@tools/demo.sh $(TEST_DIR)

kit: tests
	@$(HARNESS) start
	@status=0; examples/product/sample-kit.sh $(TEST_DIR)/bin/mkkit.exe $(CURDIR)/$(TEST_DIR)/bin \
	  $(CURDIR)/$(BUILD)/kit || status=$$?; $(HARNESS) stop; exit $$status

# First the shipped programs' sizes and the room the sample kit's first
# diskette leaves for the product (1.44 MB and 720 KB diskettes).
bench: tests
	@$(HARNESS) start
	@status=0; tools/bench/program_sizes.py --objdump i686-w64-mingw32-objdump \
	  --mkkit $(TEST_DIR)/bin/mkkit.exe --harness $(HARNESS) --kit-bin $(SHIP_DIR)/bin \
	  --cd-menu $(SHIP_DIR)/sample-cd-menu --work $(BUILD)/bench-sizes \
	  $(SHIP_DIR)/bin/_setupx.exe $(SHIP_DIR)/bin/cdlaunch.exe || status=$$?; \
	  $(HARNESS) run $(TEST_DIR)/bin/archive_bench.exe || status=$$?; $(HARNESS) stop; exit $$status

# Not part of make test: it takes minutes and measures, it does not check.
# Its own Wine prefix (build/bench-install/wine); BENCH_RUNS=n runs of each.
bench-install: tests
	@tools/bench/bench-install.sh $(TEST_DIR)

dist: ship
	@mkdir -p $(BUILD)/dist
	@for f in _setupx.exe cdlaunch.exe mkkit.exe; do \
	  if [ -f $(SHIP_DIR)/bin/$$f ]; then cp $(SHIP_DIR)/bin/$$f $(BUILD)/dist/; fi; done
	@ls -l $(BUILD)/dist

clean:
	@-$(HARNESS) stop 2>/dev/null
	rm -rf $(BUILD)
