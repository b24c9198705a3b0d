# make demo  builds the two modules (x64, x86) into dist/ and runs the demo tour and examples
# make test  builds everything (modules, test programs), the release package, and runs every test
#            (x64 and, where this machine can run 32-bit programs, x86)
# make dist  builds the two modules and writes the release package dist/kroProgramDll-<version>.zip
# make screenshots  takes the pictures of the library's windows again and puts them in docs/images/
ARCHS := x64 x86
BUILD := build
JOBS ?= 2

.PHONY: all deps build modules demo dist test bench screenshots clean $(addprefix build-,$(ARCHS)) $(addprefix module-,$(ARCHS)) $(addprefix configure-,$(ARCHS))

all: build

deps:
	@sh tools/install-deps.sh

$(addprefix configure-,$(ARCHS)): configure-%:
	@cmake -S . -B $(BUILD)/$* -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$*.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null

# Everything of one architecture: the module and the test programs. Each build runs its own
# jobs (MAKEFLAGS cleared: not the slots of a make that runs both).
$(addprefix build-,$(ARCHS)): build-%: configure-%
	@MAKEFLAGS= cmake --build $(BUILD)/$* -j $(JOBS)

# Only the module of one architecture (its type library, reference, manifest and registration data).
$(addprefix module-,$(ARCHS)): module-%: configure-%
	@MAKEFLAGS= cmake --build $(BUILD)/$* -j $(JOBS) --target kro_module kro_regdata

# Both architectures at the same time: one's single-threaded links overlap the other's compiles.
# Each one's output is printed when it ends.
build: deps
	@$(MAKE) --no-print-directory -O -j 2 $(addprefix build-,$(ARCHS))

modules: deps
	@$(MAKE) --no-print-directory -O -j 2 $(addprefix module-,$(ARCHS))

demo: modules
	@sh tools/run-demo.sh

dist: modules
	@python3 tools/make_dist.py

# The empty prefix that every test prefix is copied from boots while the programs are built.
test: deps
	@KRO_EMPTY_PREFIX=$(abspath $(BUILD))/wine-empty sh tests/support/fresh-prefix.sh --template-only >/dev/null 2>&1 &
	@$(MAKE) --no-print-directory build
	@python3 tools/make_dist.py
	@sh tools/run-tests.sh $(BUILD)

# The test run takes them into the build tree; this copies them into the documentation.
screenshots: deps build-x64
	@xvfb-run -a ctest --test-dir $(BUILD)/x64 -R '^screenshots$$' --output-on-failure
	@cp $(BUILD)/x64/images/*.png docs/images/
	@echo "docs/images/ refreshed"

bench: build
	@sh bench/run.sh

clean:
	rm -rf $(BUILD) dist
