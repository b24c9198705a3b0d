# make demo  builds both modules into dist/ and runs the demo tour
# make test  builds both modules and runs every test (x64 and, where this machine can run
#            32-bit programs, x86)
ARCHS := x64 x86
BUILD := build
JOBS ?= 2

.PHONY: all deps build demo test bench clean $(addprefix build-,$(ARCHS))

all: build

deps:
	@sh tools/install-deps.sh

build: deps $(addprefix build-,$(ARCHS))

$(addprefix build-,$(ARCHS)): build-%:
	@cmake -S . -B $(BUILD)/$* -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$*.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD)/$* -j $(JOBS)

demo: build
	@sh tools/run-demo.sh

test: build
	@sh tools/run-tests.sh $(BUILD)

bench: build
	@sh bench/run.sh

clean:
	rm -rf $(BUILD) dist
