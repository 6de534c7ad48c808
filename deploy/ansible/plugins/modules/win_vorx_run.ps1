#!powershell
# The one module run of the VORX rollout on a Windows host, as vorx_run.py is on Linux: the
# documentation is in win_vorx_run.py. It only does the steps; every decision is made on the
# controller. With finish, a second run after the controller's decision writes the state record
# it was given and removes the marker of the run.

#AnsibleRequires -CSharpUtil Ansible.Basic

$spec = @{
    options = @{
        command = @{ type = "str"; required = $true }
        kit_dir = @{ type = "str"; required = $true }
        log_dir = @{ type = "str"; required = $true }
        settings = @{ type = "str"; no_log = $true }
        digest = @{ type = "str" }
        state_dir = @{ type = "str"; required = $true }
        record_name = @{ type = "str"; required = $true }
        marker_name = @{ type = "str"; required = $true }
        version = @{ type = "str"; required = $true }
        installed_when = @{ type = "str" }
        force = @{ type = "bool"; default = $false }
        timeout = @{ type = "int" }
        success_codes = @{ type = "list"; elements = "int"; default = @() }
        launcher_sha256 = @{ type = "str" }
        finish = @{ type = "bool"; default = $false }
        record = @{ type = "dict" }
    }
    supports_check_mode = $true
}
$module = [Ansible.Basic.AnsibleModule]::Create($args, $spec)
$params = $module.Params
# A run stopped as soon as it starts would cut an installation off half way.
if ($null -ne $params.timeout -and $params.timeout -lt 1) {
    $module.FailJson("timeout must be a positive whole number of seconds, not $($params.timeout): nothing was started")
}

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

# Writes the text as Folder\Name through a temporary file created in Folder itself with a
# random name and CreateNew (which fails on anything already there, a planted link included),
# flushed to disk, then moved over Name in one step, as mkstemp and rename do on Linux.
function Write-Exclusive {
    param([string]$Folder, [string]$Name, [string]$Text)
    $target = Join-Path $Folder $Name
    $temporary = Join-Path $Folder (".$Name." + [System.IO.Path]::GetRandomFileName())
    $bytes = (New-Object -TypeName System.Text.UTF8Encoding -ArgumentList $false).GetBytes($Text)
    $stream = New-Object -TypeName System.IO.FileStream -ArgumentList $temporary,
        ([System.IO.FileMode]::CreateNew), ([System.IO.FileAccess]::Write),
        ([System.IO.FileShare]::None), 4096, ([System.IO.FileOptions]::WriteThrough)
    try {
        $stream.Write($bytes, 0, $bytes.Length)
        $stream.Flush($true)
    }
    finally {
        $stream.Dispose()
    }
    try {
        if ([System.IO.File]::Exists($target)) {
            [System.IO.File]::Replace($temporary, $target, [NullString]::Value)
        }
        else {
            [System.IO.File]::Move($temporary, $target)
        }
    }
    catch {
        Remove-Item -LiteralPath $temporary -Force -ErrorAction SilentlyContinue
        throw
    }
}

# The bytes of a regular file of at most 64 KiB, $null when nothing is there; anything else
# (a folder, a device, a larger file) throws.
function Read-Small {
    param([string]$Path)
    if (-not (Test-Path -LiteralPath $Path)) {
        return $null
    }
    if (-not (Test-Path -LiteralPath $Path -PathType Leaf)) {
        throw "not a regular file"
    }
    $item = Get-Item -LiteralPath $Path -Force
    if ($item.Length -gt 64 * 1024) {
        throw "larger than 65536 bytes"
    }
    return [System.IO.File]::ReadAllBytes($Path)
}

$recordName = $params.record_name
$markerName = $params.marker_name
$recordPath = Join-Path $params.state_dir $recordName
$markerPath = Join-Path $params.state_dir $markerName
$module.Result.changed = $false
$module.Result.state_error = $null

if ($params.finish) {
    # After the run: the record the controller decided on, then the marker removed; the first
    # step that fails is the state_error, and the marker stays.
    $failing = $recordPath
    try {
        if ($null -ne $params.record) {
            Write-Exclusive -Folder $params.state_dir -Name $recordName -Text (($params.record | ConvertTo-Json -Depth 2) + "`n")
            $module.Result.changed = $true
        }
        $failing = $markerPath
        if (Test-Path -LiteralPath $markerPath) {
            Remove-Item -LiteralPath $markerPath -Force -ErrorAction Stop
        }
    }
    catch {
        $module.Result.state_error = "$($failing): $($_.Exception.Message)"
    }
    $module.ExitJson()
}

$module.Result.status = $null
$module.Result.stdout = ""
$module.Result.stderr = ""
$module.Result.timed_out = $false
$module.Result.timeout = $params.timeout
$module.Result.success_codes = $params.success_codes
$module.Result.record = $null
$module.Result.record_found = $false
$module.Result.record_path = $recordPath
$module.Result.record_error = $null
$module.Result.marker = $null
$module.Result.state_written = $null
$module.Result.texts = @{}
$module.Result.logs_after = @{}
$module.Result.launcher = $null

# The kit's setup.exe against vorx_launcher_sha256, before anything else on the host.
if ($null -ne $params.launcher_sha256) {
    $setupExe = Join-Path $params.kit_dir "setup.exe"
    $module.Result.launcher = @{ expected = $params.launcher_sha256; actual = $null; error = $null; path = $setupExe }
    try {
        $module.Result.launcher.actual = (Get-FileHash -LiteralPath $setupExe -Algorithm SHA256 -ErrorAction Stop).Hash.ToLowerInvariant()
    }
    catch {
        $module.Result.launcher.error = $_.Exception.Message
    }
    # The comparison of vorx_rules.launcher_matches: letter case aside, the same digits.
    if ($module.Result.launcher.actual -ne $params.launcher_sha256) {
        $module.ExitJson()
    }
}

$module.Result.logs_before = Get-LogListing -Folder $params.log_dir
try {
    $bytes = Read-Small -Path $recordPath
    if ($null -ne $bytes) {
        $module.Result.record_found = $true
        $module.Result.record = [Ansible.Basic.AnsibleModule]::FromJson([System.Text.Encoding]::UTF8.GetString($bytes))
    }
}
catch {
    $module.Result.record_found = $true
    $module.Result.record_error = "$($recordPath): $($_.Exception.Message)"
}
if (Test-Path -LiteralPath $markerPath) {
    $module.Result.marker = @{ path = $markerPath; time = $null }
    try {
        $module.Result.marker.time = [string]([Ansible.Basic.AnsibleModule]::FromJson([System.Text.Encoding]::UTF8.GetString((Read-Small -Path $markerPath)))).time
    }
    catch {
        $module.Result.marker.time = $null
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
# vorx_rules.starts: vorx_installed_when, when given, decides over the record and the marker.
$found = $module.Result.record_found -or $null -ne $module.Result.marker
$starts = (-not $module.Result.installed_when_exists) -and
    ($params.force -or [bool]$params.installed_when -or -not $found)
if (-not $starts) {
    $module.ExitJson()
}

# The marker of a run that has started, left before the launch; the role's finishing run
# writes the state record here once the controller has decided, and removes the marker.
try {
    New-Item -ItemType Directory -Force -Path $params.state_dir | Out-Null
    $marker = @{ version = $params.version; time = [DateTime]::UtcNow.ToString("yyyy-MM-ddTHH:mm:ssZ"); pid = $PID }
    Write-Exclusive -Folder $params.state_dir -Name $markerName -Text (($marker | ConvertTo-Json) + "`n")
}
catch {
    $module.Result.state_error = "$($markerPath): $($_.Exception.Message)"
    $module.ExitJson()
}
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
    # 1618: the launcher did not start, another installation is in progress, and the role
    # runs this module again; that run must not take this one's marker for an interrupted run.
    if ($process.ExitCode -eq 1618) {
        Remove-Item -LiteralPath $markerPath -Force -ErrorAction SilentlyContinue
    }
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
