# Pester 5 tests of the Windows module win_vorx_run.ps1, for a Windows host of the workflow:
#   Invoke-Pester -Path deploy/ansible/tests/windows -CI
# The module runs as an Ansible module (Ansible.Basic) at its top level, so the tests take
# its functions from its syntax tree and run them alone, in a temporary folder.

BeforeAll {
    $script:modulePath = Join-Path $PSScriptRoot "..\..\plugins\modules\win_vorx_run.ps1"
    $tokens = $null
    $script:parseErrors = $null
    $script:syntax = [System.Management.Automation.Language.Parser]::ParseFile(
        (Resolve-Path -LiteralPath $script:modulePath).Path, [ref]$tokens, [ref]$script:parseErrors)
    $functions = $script:syntax.FindAll({
            param($node)
            $node -is [System.Management.Automation.Language.FunctionDefinitionAst]
        }, $true)
    foreach ($function in $functions) {
        # Defined in this scope, as the module defines them in its own.
        . ([scriptblock]::Create($function.Extent.Text))
    }
}

Describe "win_vorx_run.ps1" {
    It "parses with PowerShell's own parser" {
        $script:parseErrors | Should -BeNullOrEmpty
    }

    It "declares the options that win_vorx_run.py documents" {
        # The module's documentation and the fragment it extends, which holds the shared options.
        $documented = @("modules\win_vorx_run.py", "doc_fragments\run.py") | ForEach-Object {
            Get-Content -LiteralPath (Join-Path $PSScriptRoot "..\..\plugins\$_") -Raw
        }
        $documented = $documented -join "`n"
        $spec = $script:syntax.Find({
                param($node)
                $node -is [System.Management.Automation.Language.AssignmentStatementAst] -and
                $node.Left.Extent.Text -eq '$spec'
            }, $true)
        $spec | Should -Not -BeNullOrEmpty
        $options = $spec.Right.Expression.KeyValuePairs |
            Where-Object { $_.Item1.Extent.Text -eq "options" }
        $names = $options.Item2.PipelineElements[0].Expression.KeyValuePairs |
            ForEach-Object { $_.Item1.Extent.Text }
        $names | Should -Not -BeNullOrEmpty
        foreach ($name in $names) {
            $documented | Should -Match "(?m)^  $([regex]::Escape($name)):"
        }
    }
}

Describe "Get-LogListing" {
    BeforeEach {
        $script:folder = Join-Path ([System.IO.Path]::GetTempPath()) ([System.IO.Path]::GetRandomFileName())
        New-Item -ItemType Directory -Path $script:folder | Out-Null
    }

    AfterEach {
        Remove-Item -LiteralPath $script:folder -Recurse -Force -ErrorAction SilentlyContinue
    }

    It "lists both logs of every run with their sizes, and nothing else" {
        Set-Content -LiteralPath (Join-Path $script:folder "installvorx_2026-12-08_10-00-00.log") -Value "abc" -NoNewline
        Set-Content -LiteralPath (Join-Path $script:folder "setup_2026-12-08_10-00-00.log") -Value "abcdef" -NoNewline
        Set-Content -LiteralPath (Join-Path $script:folder "other.log") -Value "x" -NoNewline
        New-Item -ItemType Directory -Path (Join-Path $script:folder "setup_folder.log") | Out-Null

        $listing = Get-LogListing -Folder $script:folder

        $listing.Count | Should -Be 2
        $listing[(Join-Path $script:folder "installvorx_2026-12-08_10-00-00.log")] | Should -Be 3
        $listing[(Join-Path $script:folder "setup_2026-12-08_10-00-00.log")] | Should -Be 6
    }

    It "lists a log whose name holds brackets, which a wildcard path would misread" {
        $name = "installvorx_[1].log"
        Set-Content -LiteralPath (Join-Path $script:folder $name) -Value "a" -NoNewline

        (Get-LogListing -Folder $script:folder).Keys | Should -Be @(Join-Path $script:folder $name)
    }

    It "gives an empty listing for a folder that does not exist" {
        (Get-LogListing -Folder (Join-Path $script:folder "absent")).Count | Should -Be 0
    }
}
