#include "platform/gpu_swap_chain.h"

#include <utility>

namespace lumora::platform {
namespace {

constexpr UINT MicrosoftVendorId = 0x1414;  // its Basic Render Driver and WARP
constexpr UINT BufferCount = 2;             // the least the flip model takes

}  // namespace

std::unique_ptr<GpuSwapChain> GpuSwapChain::Create(HWND window, int width, int height,
                                                   const char** why) {
    auto fail = [why](const char* reason) {
        if (why) *why = reason;
        return std::unique_ptr<GpuSwapChain>();
    };
    if (!window || width < 1 || height < 1) return fail("no-swap-chain");
    std::unique_ptr<GpuSwapChain> chain(new GpuSwapChain());
    std::optional<LoadedLibrary> library = LoadedLibrary::Load(L"d3d11.dll");
    if (!library) return fail("no-d3d11");
    chain->library_.emplace(std::move(*library));
    const auto createDevice =
        chain->library_->Function<PFN_D3D11_CREATE_DEVICE>("D3D11CreateDevice");
    if (!createDevice) return fail("no-d3d11");
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1,
                                        D3D_FEATURE_LEVEL_10_0};
    if (FAILED(createDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr,
                            D3D11_CREATE_DEVICE_BGRA_SUPPORT, levels, ARRAYSIZE(levels),
                            D3D11_SDK_VERSION, chain->device_.out(), nullptr,
                            chain->context_.out())))
        return fail("no-device");
    ComReference<IDXGIDevice> dxgiDevice;
    ComReference<IDXGIAdapter> adapter;
    ComReference<IDXGIAdapter1> adapter1;
    ComReference<IDXGIFactory2> factory;
    if (FAILED(chain->device_->QueryInterface(__uuidof(IDXGIDevice),
                                              reinterpret_cast<void**>(dxgiDevice.out()))) ||
        FAILED(dxgiDevice->GetAdapter(adapter.out())))
        return fail("no-factory");
    DXGI_ADAPTER_DESC1 description{};
    if (SUCCEEDED(adapter->QueryInterface(__uuidof(IDXGIAdapter1),
                                          reinterpret_cast<void**>(adapter1.out()))) &&
        SUCCEEDED(adapter1->GetDesc1(&description)) &&
        ((description.Flags & DXGI_ADAPTER_FLAG_SOFTWARE) ||
         description.VendorId == MicrosoftVendorId))
        return fail("software-adapter");
    if (FAILED(
            adapter->GetParent(__uuidof(IDXGIFactory2), reinterpret_cast<void**>(factory.out()))))
        return fail("no-factory");
    DXGI_SWAP_CHAIN_DESC1 desc{};
    desc.Width = static_cast<UINT>(width);
    desc.Height = static_cast<UINT>(height);
    desc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    desc.BufferCount = BufferCount;
    desc.Scaling = DXGI_SCALING_STRETCH;
    desc.SwapEffect = DXGI_SWAP_EFFECT_FLIP_DISCARD;
    desc.AlphaMode = DXGI_ALPHA_MODE_IGNORE;
    if (FAILED(factory->CreateSwapChainForHwnd(chain->device_.get(), window, &desc, nullptr,
                                               nullptr, chain->swapChain_.out())))
        return fail("no-swap-chain");
    // The saver handles Alt+Enter itself (it ends): no full-screen switch by the system.
    factory->MakeWindowAssociation(window, DXGI_MWA_NO_ALT_ENTER | DXGI_MWA_NO_WINDOW_CHANGES);
    chain->width_ = width;
    chain->height_ = height;
    return chain;
}

GpuSwapChain::~GpuSwapChain() {
    if (context_.get()) context_->ClearState();
}

bool GpuSwapChain::Present(const FrameView& frame) {
    if (frame.empty() || frame.width != width_ || frame.height != height_) return false;
    ComReference<ID3D11Texture2D> backBuffer;
    // With the flip model buffer 0 is always the one to draw into.
    if (FAILED(swapChain_->GetBuffer(0, __uuidof(ID3D11Texture2D),
                                     reinterpret_cast<void**>(backBuffer.out()))))
        return false;
    context_->UpdateSubresource(backBuffer.get(), 0, nullptr, frame.pixels,
                                static_cast<UINT>(frame.stride) * sizeof(uint32_t), 0);
    const HRESULT presented = swapChain_->Present(0, 0);
    return SUCCEEDED(presented) || presented == DXGI_STATUS_OCCLUDED;
}

}  // namespace lumora::platform
