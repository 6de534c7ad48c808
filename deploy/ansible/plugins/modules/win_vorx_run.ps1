#!powershell
# The one module run of the VORX rollout on a Windows host, as vorx_run.py is on Linux: the
# documentation is in win_vorx_run.py. It only does the steps; every decision is made on the controller, and the
# role writes the state record.

#AnsibleRequires -CSharpUtil Ansible.Basic

$spec = @{
    options = @{
        command = @{ type = "str"; required = $true }
        kit_dir = @{ type = "str"; required = $true }
        log_dir = @{ type = "str"; required = $true }
        settings = @{ type = "str"; no_log = $true }
        digest = @{ type = "str" }
        state_dir = @{ type = "str"; required = $true }
        installed_when = @{ type = "str" }
        force = @{ type = "bool"; default = $false }
        timeout = @{ type = "int" }
    }
    supports_check_mode = $true
}
$module = [Ansible.Basic.AnsibleModule]::Create($args, $spec)
$params = $module.Params

# path -> size of the installation and setup logs in the log folder.
function Get-LogListing {
    param([string]$Folder)
    $found = @{}
    foreach ($pattern in @("installvorx_*.log", "setup_*.log")) {
        Get-ChildItem -LiteralPath $Folder -Filter $pattern -File -ErrorAction SilentlyContinue |
            ForEach-Object { $found[$_.FullName] = $_.Length }
    }
    return $found
}

$recordPath = Join-Path $params.state_dir "installvorx-6.1.0-00.json"
$module.Result.changed = $false
$module.Result.status = $null
$module.Result.stdout = ""
$module.Result.stderr = ""
$module.Result.timed_out = $false
$module.Result.timeout = $params.timeout
$module.Result.record = $null
$module.Result.record_error = $null
$module.Result.state_written = $null
$module.Result.texts = @{}
$module.Result.logs_after = @{}
$module.Result.logs_before = Get-LogListing -Folder $params.log_dir
if (Test-Path -LiteralPath $recordPath -PathType Leaf) {
    try {
        $module.Result.record = [Ansible.Basic.AnsibleModule]::FromJson([System.IO.File]::ReadAllText($recordPath))
    }
    catch {
        $module.Result.record_error = "$($recordPath): $($_.Exception.Message)"
    }
}
$module.Result.installed_when_exists = [bool]$params.installed_when -and
    (Test-Path -LiteralPath $params.installed_when)

if ($module.CheckMode) {
    $module.Result.check = @{
        setup_exe = Test-Path -LiteralPath (Join-Path $params.kit_dir "setup.exe") -PathType Leaf
        command = Test-Path -LiteralPath $params.command -PathType Leaf
        log_dir = Test-Path -LiteralPath $params.log_dir -PathType Container
    }
    $module.ExitJson()
}
$recorded = $null -ne $module.Result.record -or $null -ne $module.Result.record_error
if ($module.Result.installed_when_exists -or ($recorded -and -not $params.force)) {
    $module.ExitJson()
}

# The role writes the state record here after the run, once the controller has decided.
New-Item -ItemType Directory -Force -Path $params.state_dir | Out-Null
$settingsPath = $null
$arguments = "/s"
if ($null -ne $params.settings) {
    $settingsPath = [System.IO.Path]::GetTempFileName()
    [System.IO.File]::WriteAllBytes($settingsPath, [System.Convert]::FromBase64String($params.settings))
    $arguments = "/s /f `"$settingsPath`""
}
$module.Result.start = [DateTime]::UtcNow.ToString("yyyy-MM-ddTHH:mm:ssZ")
try {
    $info = New-Object -TypeName System.Diagnostics.ProcessStartInfo
    $info.FileName = $params.command
    $info.Arguments = $arguments
    $info.UseShellExecute = $false
    $info.RedirectStandardOutput = $true
    $info.RedirectStandardError = $true
    $info.RedirectStandardInput = $true
    $process = [System.Diagnostics.Process]::Start($info)
    $process.StandardInput.Close()
    $stdout = $process.StandardOutput.ReadToEndAsync()
    $stderr = $process.StandardError.ReadToEndAsync()
    $limit = if ($null -eq $params.timeout) { -1 } else { $params.timeout * 1000 }
    if (-not $process.WaitForExit($limit)) {
        # installvorx and the launcher it started, with their children.
        & taskkill.exe /T /F /PID $process.Id | Out-Null
        $process.WaitForExit()
        $module.Result.timed_out = $true
    }
    $module.Result.status = $process.ExitCode
    $module.Result.stdout = $stdout.Result
    $module.Result.stderr = $stderr.Result
    $module.Result.changed = $true
}
catch {
    $module.Result.start_error = $_.Exception.Message
}
finally {
    if ($null -ne $settingsPath) {
        Remove-Item -LiteralPath $settingsPath -Force -ErrorAction SilentlyContinue
    }
}

# The texts of the logs that are new or grew, and of the setup log beside each; a log larger
# than 32 MiB is listed but not read back.
$readBackLimit = 32 * 1024 * 1024
$before = $module.Result.logs_before
$after = Get-LogListing -Folder $params.log_dir
$module.Result.logs_after = $after
$texts = @{}
foreach ($path in @($after.Keys)) {
    if ((-not $before.ContainsKey($path) -or $after[$path] -gt $before[$path]) -and $after[$path] -le $readBackLimit) {
        $texts[$path] = [System.Convert]::ToBase64String([System.IO.File]::ReadAllBytes($path))
        $setup = Join-Path (Split-Path -Parent $path) ((Split-Path -Leaf $path) -replace "^installvorx_", "setup_")
        if ($after.ContainsKey($setup) -and -not $texts.ContainsKey($setup) -and $after[$setup] -le $readBackLimit) {
            $texts[$setup] = [System.Convert]::ToBase64String([System.IO.File]::ReadAllBytes($setup))
        }
    }
}
$module.Result.texts = $texts
$module.ExitJson()
