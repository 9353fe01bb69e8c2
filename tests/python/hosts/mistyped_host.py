"""Mistakes the stub lets a type checker find before the host runs."""
import velmarith

search = velmarith.WinSearch()
search.SearchWidth = "wide"
search.SearchAnyy()
velmarith.WinInput().InputAny("only the prompt")
