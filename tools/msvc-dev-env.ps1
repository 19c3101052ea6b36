# The environment of a Visual Studio developer prompt for one target
# machine, handed to the later steps of a GitHub Actions job (through
# GITHUB_ENV), as CI's MSVC jobs need it. It takes the newest Visual Studio
# that has the C++ tools for the target, found with vswhere, and enters
# Visual Studio's own developer shell with the tools native to this
# machine where it has them (ARM64 ones on an ARM64 runner, x64 ones on an
# x64 runner).
#
#   pwsh tools/msvc-dev-env.ps1 -Arch x64|arm64
param(
  [Parameter(Mandatory)][ValidateSet('x64', 'arm64')][string] $Arch
)
$ErrorActionPreference = 'Stop'

$vswhere = Join-Path ${env:ProgramFiles(x86)} 'Microsoft Visual Studio\Installer\vswhere.exe'
if (-not (Test-Path -LiteralPath $vswhere)) {
  $vswhere = Join-Path $env:ProgramFiles 'Microsoft Visual Studio\Installer\vswhere.exe'
}
$tools = @{
  x64   = 'Microsoft.VisualStudio.Component.VC.Tools.x86.x64'
  arm64 = 'Microsoft.VisualStudio.Component.VC.Tools.ARM64'
}[$Arch]
$vs = & $vswhere -latest -products * -requires $tools -property installationPath
if (-not $vs) { throw "vswhere found no Visual Studio with $tools" }

# Tools native to the machine (its own architecture, not this process's,
# which may be emulated) where Visual Studio has them for this target;
# otherwise the x64 ones, which Windows on Arm runs under emulation.
$os = [System.Runtime.InteropServices.RuntimeInformation]::OSArchitecture
$targetArch = @{ x64 = 'amd64'; arm64 = 'arm64' }[$Arch]
$hostArch = 'amd64'
if ($os -eq [System.Runtime.InteropServices.Architecture]::Arm64 -and
    (Test-Path (Join-Path $vs "VC\Tools\MSVC\*\bin\Hostarm64\$Arch\cl.exe"))) {
  $hostArch = 'arm64'
}

$before = @{}
Get-ChildItem env: | ForEach-Object { $before[$_.Name] = $_.Value }
Import-Module (Join-Path $vs 'Common7\Tools\Microsoft.VisualStudio.DevShell.dll')
Enter-VsDevShell -VsInstallPath $vs -SkipAutomaticLocation `
  -DevCmdArguments "-arch=$targetArch -host_arch=$hostArch -no_logo"
if (-not $env:VSCMD_ARG_TGT_ARCH) { throw "the developer shell set no target ($vs)" }

# Whatever the shell added or changed, in the multi-line form of
# GITHUB_ENV so that no value can break the file's syntax.
$changed = 0
foreach ($var in Get-ChildItem env:) {
  if ($before.ContainsKey($var.Name) -and $before[$var.Name] -ceq $var.Value) { continue }
  $delimiter = "value_$([guid]::NewGuid().ToString('N'))"
  @("$($var.Name)<<$delimiter", $var.Value, $delimiter) |
    Out-File -FilePath $env:GITHUB_ENV -Append -Encoding utf8
  $changed++
}
Write-Output ("Visual Studio: $vs; tools: $env:VSCMD_ARG_HOST_ARCH host, " +
              "$env:VSCMD_ARG_TGT_ARCH target; VSINSTALLDIR: $env:VSINSTALLDIR; $changed variables set")
